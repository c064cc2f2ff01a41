#include "app/messageform.h"

#include "app/app.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "teacher/test.h"
#include "teacher/worksheet.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace plovista {

namespace {

constexpr int ClientWidth = 5010;
constexpr int ClientHeight = 2655;
// Without the range choice the window is this high from the outside of its
// frame, with its buttons moved up.
constexpr int ShortOuterHeight = 2300;
constexpr int ButtonsTop = 1920;
constexpr int ShortButtonsTop = 1000;
constexpr int OkayLeft = 2760;
constexpr int CancelLeft = 3840;
constexpr int ButtonWidth = 960;
constexpr int ButtonHeight = 420;

} // namespace

MessageForm::MessageForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("MessageForm"))
{
    setWindowTitle(QStringLiteral("Get Message"));
    setClientSizeTwips(ClientWidth, ClientHeight);

    auto *label1 = new QLabel(QStringLiteral("Optional Message:"), client());
    label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(label1, 240, 120);

    m_text1 = new QLineEdit(client());
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral(" enter optional message "));
    m_text1->setAccessibleName(label1->text());
    label1->setBuddy(m_text1);
    placeTwips(m_text1, 240, 420, ClientWidth - 480, 330);

    m_shape1 = new ShapeControl(QStringLiteral("Shape1"), client(), palette().color(QPalette::WindowText));
    placeTwips(m_shape1, 240, 960, 2280, 1455);
    m_rangeLabel = new QLabel(QStringLiteral("Facts Range"), client());
    m_rangeLabel->setObjectName(QStringLiteral("RangeLabel"));
    placeTwips(m_rangeLabel, 420, 1040);
    m_option1 = new QRadioButton(QStringLiteral("0 --->9"), client());
    m_option1->setObjectName(QStringLiteral("Option1"));
    placeTwips(m_option1, 480, 1420);
    m_option2 = new QRadioButton(QStringLiteral("0--->12"), client());
    m_option2->setObjectName(QStringLiteral("Option2"));
    placeTwips(m_option2, 480, 1900);
    m_option1->setChecked(true);

    m_okayButt = new QPushButton(QStringLiteral("OK"), client());
    m_okayButt->setObjectName(QStringLiteral("OkayButt"));
    m_okayButt->setToolTip(QStringLiteral(" press to continue "));
    connect(m_okayButt, &QPushButton::clicked, this, &MessageForm::OkayButt_Click);
    setDefaultButton(m_okayButt);
    m_cancelButt = new QPushButton(QStringLiteral("Cancel"), client());
    m_cancelButt->setObjectName(QStringLiteral("CancelButt"));
    connect(m_cancelButt, &QPushButton::clicked, this, &MessageForm::CancelButt_Click);
    showRangeChoice(true);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &MessageForm::help_Click);
}

void MessageForm::showRangeChoice(bool shown)
{
    m_rangeShown = shown;
    for (QWidget *part : {static_cast<QWidget *>(m_shape1), static_cast<QWidget *>(m_rangeLabel),
                          static_cast<QWidget *>(m_option1), static_cast<QWidget *>(m_option2)})
        part->setVisible(shown);
    const int buttonsTop = shown ? ButtonsTop : ShortButtonsTop;
    placeTwips(m_okayButt, OkayLeft, buttonsTop, ButtonWidth, ButtonHeight);
    placeTwips(m_cancelButt, CancelLeft, buttonsTop, ButtonWidth, ButtonHeight);
    setClientSizeTwips(ClientWidth, shown ? ClientHeight : ShortOuterHeight - FrameHeightTwips);
}

void MessageForm::openFor(Operation operation)
{
    m_option1->setChecked(true);
    setWindowTitle(QStringLiteral("Print  %1  Test").arg(worksheetTitle(operation)));
    // The range choice comes back for the four operations whatever was
    // printed before.
    showRangeChoice(operation != Operation::FactsOfTen);
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

FactRange MessageForm::selectedRange() const
{
    return m_option2->isChecked() ? FactRange::ZeroToTwelve : FactRange::ZeroToNine;
}

void MessageForm::OkayButt_Click()
{
    const QString message = m_text1->text();
    if (message.size() > WorksheetMessageLimit) {
        m_app.tell(QStringLiteral("Message may not be greater than %1 characters.").arg(WorksheetMessageLimit),
                   QStringLiteral("Message Too Long"));
        return;
    }
    hide();
    m_app.test().PrintTest(message);
}

void MessageForm::CancelButt_Click()
{
    hide();
    backToTest();
}

void MessageForm::help_Click()
{
    // The limit told is the one the OK button keeps to.
    const QString text = QStringLiteral("Enter a one line,  optional message of up to %1  characters to appear at the "
                                        "top of the worksheet.  If no message, leave blank.")
                             .arg(WorksheetMessageLimit);
    if (m_rangeShown)
        m_app.showAssist(QStringLiteral("Print  Plovista  Test"),
                         text + QStringLiteral("  Select the  Facts Range for the test."));
    else
        m_app.showAssist(QStringLiteral("Print  Facts of Ten  Test"), text);
}

void MessageForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    backToTest();
}

void MessageForm::backToTest()
{
    Test &test = m_app.test();
    test.show();
    test.raise();
    test.activateWindow();
}

} // namespace plovista
