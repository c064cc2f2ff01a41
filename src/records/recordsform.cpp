#include "records/recordsform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/fontfamilies.h"
#include "app/twips.h"
#include "drill/recordline.h"
#include "platform/printing.h"
#include "records/recordsview.h"
#include "selection/mainmenu.h"
#include "settings/settingkeys.h"
#include "settings/textfile.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>

#include <array>

namespace plovista {

namespace {

struct Heading
{
    int left; // twips, the same in both rows
    const char *caption;
    const char *tip;
};

// Each heading stands over its column of the record line as the box's
// fixed-pitch font lays it out.
constexpr std::array<Heading, 10> Headings = {{
    {405, "Date", " date "},
    {1395, "Name", " User  Name "},
    {3200, "Activity", "  facts activity "},
    {3900, "Format", " facts configuration "},
    {4550, "Range", " variables used "},
    {5300, "Facts", " number of facts "},
    {5900, "A | Goal", " accuracy | accuracy goal "},
    {6900, "S | Goal", " speed  | speed goal "},
    {8000, "Time", " minutes spent "},
    {8500, "Met?", " goals met? "},
}};
constexpr int TopRow = 120;
constexpr int BottomRow = 7245;
constexpr int HeadingHeight = 240;

constexpr int BoxLeft = 120;
constexpr int BoxTop = 360;
constexpr int BoxWidth = 9050;
constexpr int BoxHeight = 6810;

const QString NoRecordsText = QStringLiteral("There are no current records.");

} // namespace

RecordsForm::RecordsForm(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("RecordsForm"))
{
    setWindowTitle(QStringLiteral("Current Records"));
    setClientSizeTwips(BoxLeft + BoxWidth + 120, BottomRow + HeadingHeight + 120);

    int number = 1;
    for (const int top : {TopRow, BottomRow}) {
        for (const Heading &heading : Headings) {
            auto *label = new QLabel(QString::fromLatin1(heading.caption), client());
            label->setObjectName(QStringLiteral("Label%1").arg(number++));
            label->setToolTip(QString::fromLatin1(heading.tip));
            QFont small = label->font();
            small.setPointSize(8);
            small.setBold(true);
            label->setFont(small);
            label->adjustSize();
            placeTwips(label, heading.left, top, 0, HeadingHeight);
            m_headings << label;
        }
    }

    m_recordsBox = new RecordsView(client());
    m_recordsBox->setObjectName(QStringLiteral("RecordsBox"));
    m_recordsBox->setAccessibleName(QStringLiteral("Current Records"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setFamilies(installedFirst(
        {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    courier.setPointSize(10);
    m_recordsBox->setFont(courier);
    // A thin frame leaves room for a whole record beside the scroll bar.
    m_recordsBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    placeTwips(m_recordsBox, BoxLeft, BoxTop, BoxWidth, BoxHeight);

    m_printRecords = addMenuCommand(QStringLiteral("PrintRecords"), QStringLiteral("Print"));
    connect(m_printRecords, &QAction::triggered, this, &RecordsForm::PrintRecords_Click);
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &RecordsForm::help_Click);
}

std::optional<QString> RecordsForm::GetCurrentRecords()
{
    setWindowTitle(QStringLiteral("Current Records"));
    for (QLabel *heading : std::as_const(m_headings))
        heading->setVisible(true);
    TextLinesResult records = openCurrentRecords(m_app.workingFolder());
    const bool read = records.lines.has_value();
    m_recordsBox->setLines(std::move(records.lines).value_or(TextLines()));
    if (!read)
        return records.error;
    return std::nullopt;
}

void RecordsForm::tellUnreadable(const QString &why)
{
    // Only the teacher can mend the file, as with a record that cannot be written.
    const QString text =
        QStringLiteral("The current records file \"%1\" cannot be read: %2.").arg(CurrentRecordsFile, why);
    m_app.tell(m_teacherView ? text : QStringLiteral("Please show this message to your teacher.\n\n") + text,
               QStringLiteral("Records Not Read"), MsgIcon::Critical);
}

void RecordsForm::openForStudent()
{
    m_teacherView = false;
    setAudience(Audience::Student);
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();
    const std::optional<QString> unreadable = GetCurrentRecords();
    if (unreadable || m_recordsBox->isEmpty()) {
        MainMenu &menu = m_app.mainMenu();
        menu.show();
        menu.raise();
        menu.activateWindow();
        if (unreadable)
            tellUnreadable(*unreadable);
        else
            m_app.tell(NoRecordsText, QStringLiteral("No Current Records"));
        m_app.unloadRecordsForm();
        return;
    }
    m_printRecords->setVisible(false);
    show();
    raise();
    activateWindow();
}

bool RecordsForm::openForTeacher(bool evenWhenEmpty)
{
    m_teacherView = true;
    setAudience(Audience::Teacher);
    const std::optional<QString> unreadable = GetCurrentRecords();
    if (unreadable || (m_recordsBox->isEmpty() && !evenWhenEmpty)) {
        if (unreadable)
            tellUnreadable(*unreadable);
        m_app.unloadRecordsForm();
        return false;
    }
    m_printRecords->setVisible(true);
    show();
    raise();
    activateWindow();
    return true;
}

void RecordsForm::showSavedForTeacher(const QString &caption, TextLines records)
{
    m_teacherView = true;
    setAudience(Audience::Teacher);
    setWindowTitle(caption);
    for (QLabel *heading : std::as_const(m_headings))
        heading->setVisible(true);
    m_recordsBox->setLines(std::move(records));
    m_printRecords->setVisible(true);
    show();
    raise();
    activateWindow();
}

void RecordsForm::PrintRecords_Click()
{
    if (m_app.ask(QStringLiteral("The printer will print only the records that are visible in this records form. "
                                 "Do you want to print this form?"),
                  QStringLiteral("Print Records Form"), MsgIcon::Question, MsgButtons::YesNo) != MsgYes)
        return;
    // The window as it stands: headings and the lines in view, no frame.
    const PrintOutcome outcome = m_app.printing().printImage(client()->grab().toImage(), windowTitle());
    if (outcome.cancelled)
        return;
    if (!outcome.printed) {
        m_app.tell(QStringLiteral("There was a problem printing the records form.  Please check your printer."),
                   QStringLiteral("Printer Error"));
        return;
    }
    m_app.tell(QStringLiteral("Printing records form....."), QStringLiteral("Printing"));
}

void RecordsForm::help_Click()
{
    QStringList lines = {
        QStringLiteral("Activity :  x 8  =  fact 8  multiplication, etc,  F10 = facts of ten"),
        QStringLiteral("Format :  V = vertical     H = horizontal"),
        QStringLiteral("Facts :  number of facts"),
        QStringLiteral("Range :  range of variables used "),
        QStringLiteral("A|Goal :  percentage score | percentage goal."),
        QStringLiteral("S|Goal :  average seconds per fact | speed goal"),
        QStringLiteral("Time :  minutes spent on activity  ( Inc = incomplete )"),
        QStringLiteral("Met ? :  *  means accuracy and speed goals were met"),
    };
    if (m_printRecords->isVisible())
        lines << QStringLiteral("         Press the Print button to print these records.");
    m_app.showAssist(QStringLiteral("Records"), lines.join(QStringLiteral("\n\n")));
}

void RecordsForm::closeEvent(QCloseEvent *event)
{
    m_app.assistForm().hide();
    if (m_app.peedyBelongsOn(audience())) {
        m_app.speech().ShowPeedy();
        m_app.speech().PerchPeedy();
    }
    event->accept();
    if (m_teacherView) {
        Q_EMIT teacherViewClosed();
    } else {
        m_app.company().setEnabled(false);
        MainMenu &menu = m_app.mainMenu();
        menu.show();
        menu.raise();
        menu.activateWindow();
    }
    m_app.unloadRecordsForm();
}

} // namespace plovista
