#include "fluency/fluencyform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "fluency/answerlogwriter.h"
#include "fluency/classexport.h"
#include "fluency/fluencyview.h"
#include "fluency/gridpainter.h"
#include "platform/clock.h"
#include "platform/printing.h"
#include "settings/textfile.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plovista {

namespace {

constexpr std::array GridOperations = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                       Operation::Division, Operation::FactsOfTen};

} // namespace

FluencyForm::FluencyForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("FluencyForm"))
    , m_chooseSaveFile([this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Export Class"), suggested,
                                            QStringLiteral("Spreadsheet (CSV) files (*.csv)"));
    })
{
    setWindowTitle(QStringLiteral("Fluency Grid"));

    auto *studentLabel = new QLabel(QStringLiteral("&Student:"), client());
    m_studentList = new QComboBox(client());
    m_studentList->setObjectName(QStringLiteral("StudentList"));
    m_studentList->setMinimumContentsLength(18);
    studentLabel->setBuddy(m_studentList);
    auto *operationLabel = new QLabel(QStringLiteral("&Operation:"), client());
    m_operationList = new QComboBox(client());
    m_operationList->setObjectName(QStringLiteral("OperationList"));
    for (const Operation operation : GridOperations)
        m_operationList->addItem(operationName(operation), static_cast<int>(operation));
    m_operationList->setCurrentIndex(2); // multiplication, as the operation menu starts
    operationLabel->setBuddy(m_operationList);

    m_printButt = new QPushButton(QStringLiteral("&Print"), client());
    m_printButt->setObjectName(QStringLiteral("PrintButt"));
    m_printButt->setToolTip(QStringLiteral(" print this grid "));
    m_exportButt = new QPushButton(QStringLiteral("&Export Class..."), client());
    m_exportButt->setObjectName(QStringLiteral("ExportButt"));
    m_exportButt->setToolTip(QStringLiteral(" save every student's facts as a spreadsheet file "));

    m_view = new FluencyView(client());
    m_view->setObjectName(QStringLiteral("GridView"));
    m_notice = new QLabel(client());
    m_notice->setObjectName(QStringLiteral("NoticeLabel"));
    m_notice->setWordWrap(true);
    m_notice->hide();

    auto *choices = new QHBoxLayout;
    choices->addWidget(studentLabel);
    choices->addWidget(m_studentList);
    choices->addSpacing(16);
    choices->addWidget(operationLabel);
    choices->addWidget(m_operationList);
    choices->addStretch();
    choices->addWidget(m_printButt);
    choices->addWidget(m_exportButt);
    auto *layout = new QVBoxLayout(client());
    layout->addLayout(choices);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_notice);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &FluencyForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &FluencyForm::Quit_Click);

    connect(m_studentList, &QComboBox::currentIndexChanged, this, &FluencyForm::studentChosen);
    connect(m_operationList, &QComboBox::currentIndexChanged, this, &FluencyForm::showGrid);
    connect(m_printButt, &QPushButton::clicked, this, &FluencyForm::PrintButt_Click);
    connect(m_exportButt, &QPushButton::clicked, this, &FluencyForm::ExportButt_Click);
}

QString FluencyForm::logFolder() const
{
    return m_app.answerLog().folder();
}

int FluencyForm::thresholdMs() const
{
    return fluencyThresholdMs(m_app.state().SpeedGoal);
}

void FluencyForm::openFrom(QWidget &opener)
{
    m_app.assistForm().hide();
    opener.hide();
    // The answers of this computer's last drill may still be on their way;
    // a share that hangs is not waited for long (the notice then says so).
    m_app.answerLog().flush(std::chrono::seconds(2));
    loadStudents();
    show();
    raise();
    activateWindow();
    m_studentList->setFocus();
}

void FluencyForm::loadStudents()
{
    const QString keep = m_student;
    const QSignalBlocker blocker(m_studentList);
    m_studentList->clear();
    m_studentList->addItems(loggedStudents(logFolder()));
    const int found = m_studentList->findText(keep, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_studentList->setCurrentIndex(found >= 0 ? found : 0);
    m_student.clear();
    studentChosen();
}

void FluencyForm::studentChosen()
{
    m_student = m_studentList->currentText();
    m_log.reset();
    if (!m_student.isEmpty())
        m_log = loadStudentLog(logFolder(), m_student);
    showGrid();
}

void FluencyForm::showGrid()
{
    const bool any = m_log.has_value();
    m_printButt->setEnabled(any);
    m_exportButt->setEnabled(m_studentList->count() > 0);
    if (!any) {
        m_view->showMessage(QStringLiteral("No answers have been logged yet. Each answer a student gives in a drill "
                                           "is kept in the folder \"%1\", and the grid shows it here.")
                                .arg(QString(AnswerLogFolder)));
    } else {
        const auto operation = static_cast<Operation>(m_operationList->currentData().toInt());
        m_view->showGrid(fluencyGrid(m_log->fluency, m_student, operation, thresholdMs(), m_app.clock().now().date()));
    }
    showNotice();
}

void FluencyForm::showNotice()
{
    QStringList notes;
    // Answers still waiting are not in the grid; the notice says so, and
    // why, without promising they will get there.
    const QStringList waiting = describeBacklog(m_app.answerLog().backlog());
    if (!waiting.isEmpty())
        notes << QStringLiteral("Answers given on this computer are missing from the log: %1 The program keeps "
                                "trying while it runs; they are lost if it ends first.")
                     .arg(waiting.join(u' '));
    if (m_log) {
        if (!m_log->scan.unreadable.isEmpty())
            notes << QStringLiteral("Not read: %1.").arg(m_log->scan.unreadable.join(QStringLiteral("; ")));
        if (m_log->scan.damagedLines > 0)
            notes << QStringLiteral("%1 damaged line(s) of the log were left out.").arg(m_log->scan.damagedLines);
    }
    m_notice->setText(notes.join(u' '));
    m_notice->setVisible(!notes.isEmpty());
}

void FluencyForm::PrintButt_Click()
{
    m_app.speech().QuietPeedy();
    const std::optional<FluencyGrid> &grid = m_view->grid();
    if (!grid)
        return;
    const QString job =
        QStringLiteral("Fluency %1 %2").arg(fileNamePart(grid->student), operationName(grid->operation));
    const PrintOutcome outcome = m_app.printing().printPainted(
        job, [&](QPainter &painter, const QRectF &page) { paintFluencyGrid(painter, page, *grid); });
    if (!outcome.printed && !outcome.cancelled)
        m_app.tell(QStringLiteral("The grid could not be printed: %1").arg(outcome.error),
                   QStringLiteral("Grid Not Printed"), MsgIcon::Critical);
}

void FluencyForm::ExportButt_Click()
{
    m_app.speech().QuietPeedy();
    const QDate today = m_app.clock().now().date();
    const QString suggested = QDir(m_app.store().workingFolder())
                                  .filePath(QStringLiteral("Class fluency %1.csv").arg(today.toString(Qt::ISODate)));
    const QString path = m_chooseSaveFile(suggested);
    if (path.isEmpty())
        return;
    m_app.answerLog().flush(std::chrono::seconds(2));
    const WriteResult written =
        writeTextFileAtomically(path, classExportText(logFolder(), thresholdMs(), today), TextEncoding::Utf8);
    if (!written.ok) {
        m_app.tell(QStringLiteral("The class could not be exported: %1.").arg(written.error),
                   QStringLiteral("Class Not Exported"), MsgIcon::Critical);
        return;
    }
    m_app.tell(QStringLiteral("The class was exported to \"%1\".").arg(QDir::toNativeSeparators(path)),
               QStringLiteral("Class Exported"));
}

void FluencyForm::help_Click()
{
    m_app.showAssist(
        QStringLiteral("Fluency Grid"),
        QStringLiteral("Choose a student and an operation. Each cell is one fact: its row is the fact family "
                       "(the times-7 facts stand in row x7), its column the other number, and a subtraction or "
                       "division fact stands where the addition or multiplication fact it undoes would. The colour "
                       "and shape tell how well the fact is known from its last three first answers; the number "
                       "is the middle time of the right ones, in seconds.\n\n"
                       "Print prints this grid. Export Class saves every student's facts as a spreadsheet file."));
}

void FluencyForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void FluencyForm::closeEvent(QCloseEvent *event)
{
    m_app.assistForm().hide();
    event->accept();
    m_app.showUtilityMenu();
}

} // namespace plovista
