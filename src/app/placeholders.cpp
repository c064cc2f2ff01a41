#include "app/placeholders.h"

#include "app/app.h"
#include "app/twips.h"
#include "teacher/utilityform.h"

#include <QCloseEvent>
#include <QLabel>

namespace plovista {

PlaceholderWindow::PlaceholderWindow(App &app, const QString &objectName, const QString &caption, const QString &text)
    : FormWindow(app, Audience::Teacher, objectName)
{
    setWindowTitle(caption);
    auto *label = new QLabel(text, client());
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    placeTwips(label, 240, 240, 4200, 1200);
    setClientSizeTwips(4680, 1680);
}

void PlaceholderWindow::open()
{
    show();
    raise();
    activateWindow();
}

void PlaceholderWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.utilityForm().showAgain();
}

ControlPeedy::ControlPeedy(App &app)
    : PlaceholderWindow(app, QStringLiteral("ControlPeedy"), QStringLiteral("Control Speech"),
                        QStringLiteral("Here you will choose Peedy or the voice, what they say, and Peedy's "
                                       "greeting. Close this window to go back to the Utility Menu."))
{ }

Test::Test(App &app)
    : PlaceholderWindow(app, QStringLiteral("Test"), QStringLiteral("Print Test"),
                        QStringLiteral("Here you will print a worksheet of fifty facts. Close this window to go "
                                       "back to the Utility Menu."))
{ }

} // namespace plovista
