#include "teacher/test.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/messageform.h"
#include "app/twips.h"
#include "platform/clock.h"
#include "platform/printing.h"
#include "selection/optionbutton.h"
#include "teacher/worksheet.h"

#include <QAction>
#include <QCloseEvent>
#include <QPushButton>

namespace plovista {

namespace {

struct TestOption
{
    Operation operation;
    const char *name;
    const char *caption;
    int top; // twips
};

constexpr std::array<TestOption, 5> Options = {{
    {Operation::FactsOfTen, "FactsOF10", "Facts of Ten", 200},
    {Operation::Addition, "Addition", "Addition", 800},
    {Operation::Subtraction, "Subtraction", "Subtraction", 1400},
    {Operation::Multiplication, "Multiplication", "Multiplication", 2000},
    {Operation::Division, "Division", "Division", 2600},
}};
constexpr int OptionLeft = 400;

// The window's size from the outside of its frame.
constexpr int OuterWidth = 3000;
constexpr int OuterHeight = 4700;

} // namespace

Test::Test(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("Test"))
{
    setWindowTitle(QStringLiteral("Print Worksheet"));
    setClientSizeTwips(OuterWidth - FrameWidthTwips, OuterHeight - FrameHeightTwips);

    for (std::size_t i = 0; i < Options.size(); ++i) {
        auto *button =
            new OptionButton(QString::fromLatin1(Options[i].name), QString::fromLatin1(Options[i].caption), client());
        QFont font = button->font();
        font.setPointSize(10);
        button->setFont(font);
        placeTwips(button, OptionLeft, Options[i].top);
        // A double-click is a selection and an Accept in one.
        connect(button, &OptionButton::doubleClicked, this, &Test::Accept_Click);
        m_options[i] = button;
    }

    m_accept = new QPushButton(QStringLiteral("Accept"), client());
    m_accept->setObjectName(QStringLiteral("Accept"));
    placeTwips(m_accept, 950, 3300, 1000, 420);
    connect(m_accept, &QPushButton::clicked, this, &Test::Accept_Click);
    setDefaultButton(m_accept);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &Test::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &Test::Quit_Click);
}

void Test::openFromUtilityMenu()
{
    setWindowTitle(QStringLiteral("Print Test"));
    setClientSizeTwips(OuterWidth - FrameWidthTwips, OuterHeight - FrameHeightTwips);
    // Option buttons keep one of them selected on their own; the teacher
    // starts from none.
    for (OptionButton *option : m_options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    show();
    raise();
    activateWindow();
}

std::optional<Operation> Test::selectedTest() const
{
    for (std::size_t i = 0; i < Options.size(); ++i)
        if (m_options[i]->isChecked())
            return Options[i].operation;
    return std::nullopt;
}

void Test::Accept_Click()
{
    m_app.assistForm().hide();
    const std::optional<Operation> kind = selectedTest();
    if (!kind)
        return;
    hide();
    m_app.messageForm().openFor(*kind);
}

void Test::PrintTest(const QString &message)
{
    const std::optional<Operation> kind = selectedTest();
    if (!kind) {
        comeBack();
        return;
    }
    WorksheetRequest request;
    request.operation = *kind;
    request.range = m_app.messageForm().selectedRange();
    request.message = message;
    request.footer = worksheetFooter(m_app.clock().now().date());

    int copies = 0;
    const PrintOutcome outcome = m_app.printing().printPages(worksheetTitle(*kind), [&](int chosen) {
        copies = chosen;
        return worksheetPages(request, chosen, m_app.random());
    });
    if (outcome.printed) {
        m_app.tell(printingMessage(*kind, copies), QStringLiteral("Printing"));
    } else if (!outcome.cancelled) {
        // A job that failed is told, so it is not mistaken for one on its way.
        m_app.tell(
            QStringLiteral("The worksheets could not be printed: %1\n\nPlease check your printer.").arg(outcome.error),
            QStringLiteral("Printer Error"), MsgIcon::Critical);
    }
    comeBack();
}

void Test::comeBack()
{
    show();
    raise();
    activateWindow();
}

void Test::help_Click()
{
    m_app.showAssist(QStringLiteral("Print a Test"),
                     QStringLiteral("Double-click on the type of test you want to print.    The facts in each test "
                                    "will be randomly generated,  so that each time you make a selection the test "
                                    "will be a new and different one.    You can produce multiple copies of the same "
                                    "test by making your copies selection in the printer dialogue box."));
}

void Test::Quit_Click()
{
    m_app.quitFrom(*this);
}

void Test::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.showUtilityMenu();
}

} // namespace plovista
