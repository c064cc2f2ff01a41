// The yardstick for start-up: a minimal Qt Widgets window with one line edit,
// built the same way as the program.

#include "startuptiming.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *box = new QLineEdit(&window);
    layout->addWidget(box);
    window.show();
    box->setFocus();
    QTimer::singleShot(0, [] {
        std::printf("minimal %.1f ms %ld kB\n", plovista::bench::millisecondsSinceProcessStart(),
                    plovista::bench::residentKilobytes());
        QApplication::exit(0);
    });
    return QApplication::exec();
}
