#include "records/saverecordsform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/twips.h"
#include "drill/recordline.h"
#include "records/savedrecords.h"
#include "teacher/subutility.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace plovista {

SaveRecordsForm::SaveRecordsForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("SaveRecordsForm"))
{
    setWindowTitle(QStringLiteral("Save Current Records"));
    auto *label = new QLabel(QStringLiteral("Name of the file for these records:"), client());
    label->setObjectName(QStringLiteral("Label1"));
    placeTwips(label, 240, 180);
    m_text1 = new QLineEdit(client());
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral(" type a name for the saved records "));
    label->setBuddy(m_text1);
    placeTwips(m_text1, 240, 480, 4200);
    m_saveButt = new QPushButton(QStringLiteral("Save"), client());
    m_saveButt->setObjectName(QStringLiteral("SaveButt"));
    m_saveButt->setToolTip(QStringLiteral(" save the current records to this file "));
    placeTwips(m_saveButt, 1740, 1020, 1215, 420);
    connect(m_saveButt, &QPushButton::clicked, this, &SaveRecordsForm::SaveButt_Click);
    setDefaultButton(m_saveButt);
    setClientSizeTwips(4680, 1680);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &SaveRecordsForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &SaveRecordsForm::Quit_Click);
}

void SaveRecordsForm::open()
{
    setWindowTitle(QStringLiteral("Save Current Records"));
    m_text1->clear();
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

void SaveRecordsForm::askAgain()
{
    m_text1->setFocus();
    m_text1->selectAll();
}

void SaveRecordsForm::SaveButt_Click()
{
    m_app.assistForm().hide();
    const QString name = savedNameFromTyped(m_text1->text());
    if (const std::optional<NameProblem> problem = savedNameProblem(name)) {
        m_app.tell(problem->text, problem->title, MsgIcon::Information);
        askAgain();
        return;
    }
    const QDir root(m_app.workingFolder());
    const QString folder = root.filePath(QStringLiteral("SDat"));
    const QString target = QDir(folder).filePath(name);
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isFile()) {
        m_app.tell(
            QStringLiteral("There is a folder named \"%1\" in the saved records. Please type another name.").arg(name),
            QStringLiteral("Name In Use"), MsgIcon::Information);
        askAgain();
        return;
    }
    if (existing.exists() &&
        m_app.ask(QStringLiteral("A saved records file named \"%1\" already exists.\n\nDo you want to replace it "
                                 "with the current records?")
                      .arg(name),
                  QStringLiteral("Replace Saved Records"), MsgIcon::Question, MsgButtons::YesNo, MsgNo) != MsgYes) {
        askAgain();
        return;
    }
    // Start-up makes the folder; it may have gone since.
    WriteResult saved;
    if (!QDir().mkpath(folder)) {
        const QString why = QStringLiteral("the folder SDat could not be made");
        saved = {false, why, why};
    } else
        saved = copyRecordsFile(root.filePath(CurrentRecordsFile), target);
    if (!saved.ok) {
        m_app.tell(QStringLiteral("The records could not be saved to \"%1\": %2.\n\nThe current records and the "
                                  "saved record files are unchanged.")
                       .arg(name, saved.error),
                   QStringLiteral("Records Not Saved"), MsgIcon::Critical);
        askAgain();
        return;
    }
    m_app.playClick();
    m_app.tell(QStringLiteral("The current records have been saved to the file \"%1\".").arg(name),
               QStringLiteral("Records Saved"));
    hide();
    m_app.subUtility().backFromRecords();
}

void SaveRecordsForm::help_Click()
{
    m_app.showAssist(QStringLiteral("Save Current Records"),
                     QStringLiteral("Type a name for the file and press the Save button. The current records are "
                                    "copied into that file and stay in the current records as well."));
}

void SaveRecordsForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void SaveRecordsForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.subUtility().backFromRecords();
}

} // namespace plovista
