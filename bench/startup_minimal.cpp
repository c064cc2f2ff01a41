// The yardstick for start-up: a minimal Qt Widgets window, a label in a small
// window, built the same way as the program and left running until
// bench/firstpaint ends it.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("A minimal window"), &window));
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
