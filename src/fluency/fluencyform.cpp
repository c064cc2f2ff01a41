#include "fluency/fluencyform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "fluency/answerlogwriter.h"
#include "fluency/classexport.h"
#include "fluency/classviewform.h"
#include "fluency/fluencyview.h"
#include "fluency/gridpainter.h"
#include "fluency/workprogressrow.h"
#include "platform/clock.h"
#include "platform/printing.h"
#include "settings/settingkeys.h"

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

const QString ReadingCaption = QStringLiteral("Reading the answer log...");

} // namespace

void waitForLatestAnswers(AnswerLogWriter &writer, const WorkProgress &progress)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!writer.flush(std::chrono::milliseconds(100)) && !progress.cancelled() &&
           std::chrono::steady_clock::now() < until) { }
}

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
    // Short enough that the row fits an 800-pixel screen with a window
    // manager's border; a longer name is cut short in the box.
    m_studentList->setMinimumContentsLength(14);
    m_studentList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
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
    m_exportWideButt = new QPushButton(QStringLiteral("Export &Families..."), client());
    m_exportWideButt->setObjectName(QStringLiteral("ExportWideButt"));
    m_exportWideButt->setToolTip(QStringLiteral(" save how many facts of each family every student knows "));

    m_classButt = new QPushButton(QStringLiteral("&Class View"), client());
    m_classButt->setObjectName(QStringLiteral("ClassButt"));
    m_classButt->setToolTip(QStringLiteral(" see the whole class, family by family "));

    m_view = new FluencyView(client());
    m_view->setObjectName(QStringLiteral("GridView"));
    m_notice = new QLabel(client());
    m_notice->setObjectName(QStringLiteral("NoticeLabel"));
    m_notice->setWordWrap(true);
    m_notice->hide();

    m_workRow = new WorkProgressRow(client());

    auto *choices = new QHBoxLayout;
    choices->addWidget(studentLabel);
    choices->addWidget(m_studentList);
    choices->addSpacing(16);
    choices->addWidget(operationLabel);
    choices->addWidget(m_operationList);
    choices->addStretch();
    choices->addWidget(m_printButt);
    choices->addWidget(m_classButt);
    choices->addWidget(m_exportButt);
    choices->addWidget(m_exportWideButt);
    auto *layout = new QVBoxLayout(client());
    layout->addLayout(choices);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_workRow);
    layout->addWidget(m_notice);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &FluencyForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &FluencyForm::Quit_Click);

    connect(m_studentList, &QComboBox::currentIndexChanged, this, &FluencyForm::studentChosen);
    // The same student again, after a reading was cancelled, reads it again.
    connect(m_studentList, &QComboBox::activated, this, [this] {
        if (!m_log && m_working == Work::None)
            studentChosen();
    });
    connect(m_operationList, &QComboBox::currentIndexChanged, this, &FluencyForm::showGrid);
    connect(m_printButt, &QPushButton::clicked, this, &FluencyForm::PrintButt_Click);
    connect(m_classButt, &QPushButton::clicked, this, &FluencyForm::ClassButt_Click);
    connect(m_exportButt, &QPushButton::clicked, this, &FluencyForm::ExportButt_Click);
    connect(m_exportWideButt, &QPushButton::clicked, this, &FluencyForm::ExportWideButt_Click);
    connect(m_workRow, &WorkProgressRow::cancelClicked, this, &FluencyForm::CancelButt_Click);
}

QString FluencyForm::logFolder() const
{
    return m_app.answerLog().folder();
}

int FluencyForm::thresholdMs() const
{
    return fluencyThresholdMs(m_app.settings().value(keys::SpeedGoal));
}

void FluencyForm::openFrom(QWidget &opener)
{
    m_app.assistForm().hide();
    opener.hide();
    show();
    raise();
    activateWindow();
    m_studentList->setFocus();
    startReading(true);
}

void FluencyForm::stopWork()
{
    m_workRow->cancel(std::chrono::seconds(2));
    workEnded();
}

void FluencyForm::startReading(bool withList)
{
    const QString folder = logFolder();
    const QString wanted = m_student;
    AnswerLogWriter &writer = m_app.answerLog();
    m_log.reset();
    auto read = [this, folder, wanted, withList, &writer](WorkProgress &progress) -> BackgroundWork::Delivery {
        std::optional<QStringList> students;
        QString student = wanted;
        if (withList) {
            waitForLatestAnswers(writer, progress);
            students = loggedStudents(folder, &progress);
            if (!students->contains(student))
                student = students->value(0);
        }
        std::optional<StudentLog> log;
        if (!student.isEmpty()) {
            progress.restart(studentLogSize(folder, student));
            log = loadStudentLog(folder, student, &progress);
        }
        return [this, students = std::move(students), student, log = std::move(log)]() mutable {
            studentsRead(students, student, std::move(log));
        };
    };
    startWork(Work::Reading, ReadingCaption, std::move(read));
}

void FluencyForm::studentsRead(const std::optional<QStringList> &students, const QString &student,
                               std::optional<StudentLog> log)
{
    workEnded();
    if (students) {
        const QSignalBlocker blocker(m_studentList);
        m_studentList->clear();
        m_studentList->addItems(*students);
        m_studentList->setCurrentIndex(static_cast<int>(students->indexOf(student)));
    }
    m_student = student;
    m_log = std::move(log);
    showGrid();
}

void FluencyForm::studentChosen()
{
    m_student = m_studentList->currentText();
    startReading(false);
}

void FluencyForm::startWork(Work work, const QString &caption, BackgroundWork::Work piece)
{
    m_working = work;
    m_workRow->start(caption, std::move(piece));
    showGrid();
}

void FluencyForm::workEnded()
{
    m_working = Work::None;
    m_studentList->setEnabled(true);
}

void FluencyForm::showGrid()
{
    const bool any = m_log.has_value();
    const bool idle = m_working == Work::None;
    m_printButt->setEnabled(any && idle);
    m_exportButt->setEnabled(m_studentList->count() > 0 && idle);
    m_classButt->setEnabled(m_studentList->count() > 0 && idle);
    m_exportWideButt->setEnabled(m_exportButt->isEnabled());
    m_studentList->setEnabled(m_working != Work::Exporting);
    if (m_working == Work::Reading) {
        m_view->showMessage(ReadingCaption);
    } else if (!any) {
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
        for (const auto &[file, lines] : m_log->scan.damagedFiles)
            notes << QStringLiteral("%1 damaged line(s) of \"%2\" were left out.").arg(lines).arg(file);
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

void FluencyForm::ClassButt_Click()
{
    m_app.speech().QuietPeedy();
    m_app.classViewForm().openFrom(*this, static_cast<Operation>(m_operationList->currentData().toInt()));
}

void FluencyForm::ExportButt_Click()
{
    exportAs(ExportShape::Long);
}

void FluencyForm::ExportWideButt_Click()
{
    exportAs(ExportShape::Wide);
}

void FluencyForm::exportAs(ExportShape shape)
{
    m_app.speech().QuietPeedy();
    const QDate today = m_app.clock().now().date();
    const QString name =
        shape == ExportShape::Wide ? QStringLiteral("Class families %1.csv") : QStringLiteral("Class fluency %1.csv");
    const QString suggested = QDir(m_app.workingFolder()).filePath(name.arg(today.toString(Qt::ISODate)));
    const QString path = m_chooseSaveFile(suggested);
    if (path.isEmpty())
        return;
    const QString folder = logFolder();
    const int threshold = thresholdMs();
    AnswerLogWriter &writer = m_app.answerLog();
    startWork(
        Work::Exporting, QStringLiteral("Exporting the class..."),
        [this, folder, threshold, today, path, shape, &writer](WorkProgress &progress) -> BackgroundWork::Delivery {
            waitForLatestAnswers(writer, progress);
            const ClassExport result = exportClass(folder, threshold, today, path, &progress, shape);
            return [this, result, path] { classExported(result, path); };
        });
}

void FluencyForm::classExported(const ClassExport &result, const QString &path)
{
    workEnded();
    showGrid();
    if (!result.written.ok) {
        m_app.tell(QStringLiteral("The class could not be exported: %1.").arg(result.written.error),
                   QStringLiteral("Class Not Exported"), MsgIcon::Critical);
        return;
    }
    m_app.tell(QStringLiteral("The class was exported to \"%1\".").arg(QDir::toNativeSeparators(path)),
               QStringLiteral("Class Exported"));
}

void FluencyForm::CancelButt_Click()
{
    const Work cancelled = m_working;
    m_workRow->cancel();
    workEnded();
    showGrid();
    if (cancelled == Work::Reading)
        m_view->showMessage(QStringLiteral("Reading the answer log was cancelled. Choose a student to read it."));
}

void FluencyForm::help_Click()
{
    m_app.showAssist(
        QStringLiteral("Fluency Grid"),
        QStringLiteral("Choose a student and an operation. Each cell is one fact: its row is the fact family "
                       "(the times-7 facts stand in row x7), its column the other number, and a subtraction or "
                       "division fact stands where the addition or multiplication fact it undoes would. The colour "
                       "and mark tell how well the fact is known from its last three first answers: knows it, "
                       "almost, or teach it (point at a cell for more); the number is the time of the answer that "
                       "decides it, in seconds.\n\n"
                       "Print prints this grid. Class View shows the whole class, family by family. Export Class saves "
                       "every student's facts as a spreadsheet file."));
}

void FluencyForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void FluencyForm::closeEvent(QCloseEvent *event)
{
    // Whatever is under way ends by itself; an export leaves no file.
    m_workRow->cancel();
    workEnded();
    m_log.reset();
    m_app.assistForm().hide();
    event->accept();
    m_app.showUtilityMenu();
}

} // namespace plovista
