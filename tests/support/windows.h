#pragma once

// Every window the program can open, and what a screen reader hears of their
// controls.

#include "app/agentmissing.h"
#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/contactform.h"
#include "app/frmabout.h"
#include "app/messageform.h"
#include "app/screensize.h"
#include "app/vistanotice.h"
#include "drill/factsproblems.h"
#include "drill/scoreform.h"
#include "practice/dailypractice.h"
#include "records/recordsform.h"
#include "records/savedrecordsform.h"
#include "records/saverecordsform.h"
#include "selection/choosemenumf.h"
#include "selection/facts10menu.h"
#include "selection/mainmenu.h"
#include "speech/controlpeedy.h"
#include "speech/getgreeting.h"
#include "teacher/getpassw.h"
#include "teacher/practicesettingsform.h"
#include "teacher/subutility.h"
#include "teacher/test.h"
#include "teacher/utilityform.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>
#include <QStringList>

namespace plovista::test {

// Creates every window the hub knows, as the program does on first use. A
// window added to the hub belongs here too.
inline QList<FormWindow *> everyWindow(App &app)
{
    return {&app.company(),         &app.mainMenu(),      &app.getPassW(),
            &app.assistForm(),      &app.aboutBox(),      &app.screenSize(),
            &app.contactForm(),     &app.vistaNotice(),   &app.agentMissing(),
            &app.chooseMenuMF(),    &app.facts10Menu(),   &app.factsProblems(),
            &app.scoreForm(),       &app.recordsForm(),   &app.controlPeedy(),
            &app.getGreeting(),     &app.test(),          &app.messageForm(),
            &app.utilityForm(),     &app.subUtility(),    &app.savedRecordsForm(),
            &app.saveRecordsForm(), &app.dailyPractice(), &app.practiceSettingsForm()};
}

inline QString accessibleName(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// The controls of `window` the keyboard can reach as it stands (Tab, or a
// click for those that take no Tab), each as "Window/Control".
inline QList<QWidget *> focusableControls(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if ((control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(window) &&
            !qobject_cast<QMenuBar *>(control))
            controls << control;
    }
    return controls;
}

// What a screen reader cannot name: focusable controls with an empty name,
// menu-bar commands whose name is not their caption without "&". Empty when
// all is well.
inline QStringList namingFaults(QWidget *window)
{
    QStringList faults;
    const QString where = window->objectName() + QLatin1Char('/');
    for (QWidget *control : focusableControls(window)) {
        if (accessibleName(control).trimmed().isEmpty())
            faults << where + control->objectName();
    }
    if (auto *bar = window->findChild<QMenuBar *>()) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(bar);
        for (int i = 0; face && i < face->childCount(); ++i) {
            QAction *action = bar->actions().value(i);
            const QString caption = action ? QString(action->text()).remove(QLatin1Char('&')) : QString();
            const QString heard = face->child(i)->text(QAccessible::Name);
            if (heard.isEmpty() || heard != caption)
                faults << where + (action ? action->objectName() : QString::number(i)) + QLatin1String(" heard as \"") +
                        heard + QLatin1Char('"');
        }
    }
    return faults;
}

} // namespace plovista::test
