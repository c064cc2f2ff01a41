#pragma once

#include "harness.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The teacher's road through the real windows: the access code, the
// password, the Utility Menu and its sub-menu.
namespace plovista::test {

inline void typeAccessCode(Harness &h)
{
    auto *name = h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1"));
    name->clear();
    name->setFocus();
    name->insert(QStringLiteral("kq"));
    QTest::keyClick(name, Qt::Key_Return);
}

inline QLineEdit *passwordBox(Harness &h, const char *name = "Text1")
{
    return h.findIn<QLineEdit>(QStringLiteral("GetPassW"), QLatin1String(name));
}

inline void openUtilityMenu(Harness &h, const QString &password = QStringLiteral("maple"))
{
    typeAccessCode(h);
    QTest::keyClicks(passwordBox(h), password);
}

inline void realDoubleClick(QWidget *widget)
{
    QWidget *top = widget->window();
    (void)QTest::qWaitForWindowExposed(top);
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

inline QRadioButton *option(Harness &h, const QString &window, const QString &name)
{
    return h.findIn<QRadioButton>(window, name);
}

// A Utility Menu choice, double-clicked as a teacher does.
inline void chooseUtility(Harness &h, const QString &name)
{
    realDoubleClick(option(h, QStringLiteral("UtilityForm"), name));
}

// A sub-menu option selected and accepted.
inline void acceptSubOption(Harness &h, int number)
{
    if (number > 0)
        option(h, QStringLiteral("SubUtility"), QStringLiteral("Option%1").arg(number))->setChecked(true);
    h.findIn<QPushButton>(QStringLiteral("SubUtility"), QStringLiteral("Accept"))->click();
}

inline QAction *menuAction(QWidget *window, const QString &name)
{
    for (QAction *a : window->findChildren<QAction *>())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

inline bool shown(Harness &h, const QString &window)
{
    QWidget *w = h.window(window);
    return w && w->isVisible();
}

} // namespace plovista::test
