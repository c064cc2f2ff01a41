#include "selection/choosemenumf.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "drill/factsproblems.h"
#include "drill/scoreform.h"
#include "drill/scoring.h"
#include "platform/clock.h"
#include "selection/facts10menu.h"
#include "selection/mainmenu.h"
#include "selection/optionbutton.h"
#include "selection/selectioncodes.h"
#include "selection/verticalpicture.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>

namespace plovista {

namespace {

constexpr int FirstOption = 2;
constexpr int LastOption = 12;

// A line drawn from one point to another, both in twips; the line control
// is at least one pixel across so a vertical stroke shows.
void placeLine(LineControl *line, const PictureLine &at)
{
    const int left = twips(std::min(at.x1, at.x2));
    const int top = twips(std::min(at.y1, at.y2));
    const int width = std::max(1, twips(std::abs(at.x2 - at.x1)));
    const int height = std::max(1, twips(std::abs(at.y2 - at.y1)));
    line->setGeometry(left, top, width, height);
}

void showLetter(QLabel *letter, const std::optional<PictureLetter> &at)
{
    letter->setVisible(at.has_value());
    if (!at)
        return;
    letter->setText(at->text);
    placeTwips(letter, at->left, at->top);
}

} // namespace

ChooseMenuMF::ChooseMenuMF(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("ChooseMenuMF"))
{
    setWindowTitle(QStringLiteral("Addition Menu"));
    setClientSizeTwips(5040, 3480);

    auto *label1 = label(client(), QStringLiteral("Label1"), QStringLiteral("Format"), 10, true);
    label1->setToolTip(QStringLiteral(" vertical or horizontal  "));
    placeTwips(label1, 960, 150);
    auto *label8 = label(client(), QStringLiteral("Label8"), QStringLiteral("Horizontal"));
    placeTwips(label8, 240, 550);
    m_label5 = label(client(), QStringLiteral("Label5"), QStringLiteral("Vertical"));
    placeTwips(m_label5, 1500, 550);

    m_check1 =
        checkBox(client(), QStringLiteral("Check1"), QStringLiteral("A + B = C"), QStringLiteral(" horizontal mode "));
    placeTwips(m_check1, 240, 960);
    connect(m_check1, &QCheckBox::clicked, this, &ChooseMenuMF::Check1_Click);
    m_check2 = checkBox(client(), QStringLiteral("Check2"), QString(), QStringLiteral(" vertical mode "));
    // The box has no caption of its own; its heading names it.
    m_check2->setAccessibleName(QStringLiteral("Vertical"));
    placeTwips(m_check2, 2160, 960);
    connect(m_check2, &QCheckBox::clicked, this, &ChooseMenuMF::Check2_Click);
    buildPicture();

    auto *label10 = label(client(), QStringLiteral("Label10"), QStringLiteral("Fact Range"), 10, true);
    placeTwips(label10, 840, 1740);
    m_check3 = checkBox(client(), QStringLiteral("Check3"), QStringLiteral("0 --> 9"),
                        QStringLiteral(" variables 0 through 9 "));
    placeTwips(m_check3, 240, 2100);
    connect(m_check3, &QCheckBox::clicked, this, &ChooseMenuMF::Check3_Click);
    m_check4 = checkBox(client(), QStringLiteral("Check4"), QStringLiteral("0 --> 12"),
                        QStringLiteral(" variables 0 through 12 "));
    placeTwips(m_check4, 1440, 2100);
    connect(m_check4, &QCheckBox::clicked, this, &ChooseMenuMF::Check4_Click);

    auto *label2 = label(client(), QStringLiteral("Label2"), QStringLiteral("Fact Option"), 10, true);
    label2->setToolTip(QStringLiteral(" math fact option "));
    placeTwips(label2, 3240, 150);
    // 2 to 6 in the first column, 7 to 11 in the second, 12 below between them.
    for (int index = FirstOption; index <= LastOption; ++index) {
        auto *option = new OptionButton(QStringLiteral("Option%1").arg(index), QString(), client());
        option->setProperty("index", index);
        QFont f = option->font();
        f.setPointSize(10);
        option->setFont(f);
        const int left = index == LastOption ? 3540 : index <= 6 ? 3000 : 4080;
        const int row = index == LastOption ? 5 : (index - FirstOption) % 5;
        placeTwips(option, left, 550 + row * 330, 840);
        connect(option, &OptionButton::doubleClicked, this, &ChooseMenuMF::AcceptButt_Click);
        m_option[index] = option;
    }

    m_acceptButt = new QPushButton(QStringLiteral("Accept"), client());
    m_acceptButt->setObjectName(QStringLiteral("AcceptButt"));
    m_acceptButt->setToolTip(QStringLiteral("  press after making selections "));
    placeTwips(m_acceptButt, 1912, 2880, 1215, 420);
    connect(m_acceptButt, &QPushButton::clicked, this, &ChooseMenuMF::AcceptButt_Click);
    setDefaultButton(m_acceptButt);

    buildMenuBar();
    prepareFor(Operation::Addition);
}

void ChooseMenuMF::buildPicture()
{
    auto letter = [this](const QString &name) {
        auto *l = new QLabel(client());
        l->setObjectName(name);
        QFont f = l->font();
        f.setPointSize(10);
        f.setBold(true);
        l->setFont(f);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        return l;
    };
    m_pictureTop = letter(QStringLiteral("Label3"));
    m_pictureSign = letter(QStringLiteral("Label4"));
    m_pictureLower = letter(QStringLiteral("Label6"));
    m_pictureResult = letter(QStringLiteral("Label7"));
    m_pictureDividend = letter(QStringLiteral("Label9"));
    m_line1 = new LineControl(QStringLiteral("Line1"), client());
    m_line2 = new LineControl(QStringLiteral("Line2"), client());
}

void ChooseMenuMF::buildMenuBar()
{
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("&Help"));
    connect(help, &QAction::triggered, this, &ChooseMenuMF::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("&Quit"));
    connect(quit, &QAction::triggered, this, &ChooseMenuMF::Quit_Click);
}

void ChooseMenuMF::drawPicture(Operation operation)
{
    const VerticalPicture picture = verticalPicture(operation);
    showLetter(m_pictureTop, picture.top);
    showLetter(m_pictureSign, picture.sign);
    showLetter(m_pictureLower, picture.lower);
    showLetter(m_pictureResult, picture.result);
    showLetter(m_pictureDividend, picture.dividend);
    placeLine(m_line1, picture.rule);
    m_line1->show();
    m_line2->setVisible(picture.stroke.has_value());
    if (picture.stroke)
        placeLine(m_line2, *picture.stroke);
    placeTwips(m_label5, 1500, picture.headingTop);
}

void ChooseMenuMF::prepareFor(Operation operation)
{
    m_operation = operation;
    const FactMenuCaptions captions = factMenuCaptions(operation);
    setWindowTitle(captions.windowTitle);
    m_check1->setText(captions.horizontalCaption);
    m_check1->adjustSize();
    m_check2->setText(QString());
    for (int index = FirstOption; index <= LastOption; ++index)
        m_option[index]->setText(factOptionCaption(operation, index));
    deselectFactOptions();
    drawPicture(operation);
}

void ChooseMenuMF::openWithFreshChoices()
{
    show();
    raise();
    activateWindow();
    m_check1->setChecked(true);
    m_check2->setChecked(false);
    m_check3->setChecked(true);
    m_check4->setChecked(false);
    setTwoDigitOptionsEnabled(false);
    m_option[FirstOption]->setChecked(true);
}

void ChooseMenuMF::deselectFactOptions()
{
    // An exclusive option refuses to be unchecked on its own.
    for (int index = FirstOption; index <= LastOption; ++index) {
        m_option[index]->setAutoExclusive(false);
        m_option[index]->setChecked(false);
        m_option[index]->setAutoExclusive(true);
    }
}

void ChooseMenuMF::setTwoDigitOptionsEnabled(bool enabled)
{
    for (int index = 10; index <= LastOption; ++index)
        m_option[index]->setEnabled(enabled);
}

int ChooseMenuMF::selectedFactOption() const
{
    int chosen = 0;
    for (int index = FirstOption; index <= LastOption; ++index)
        if (m_option[index]->isChecked())
            chosen = index;
    return chosen;
}

// Each rule runs for a click on its own box only: unchecking the other box of
// the pair does not run that box's rule.
void ChooseMenuMF::Check1_Click()
{
    m_check2->setChecked(false);
}

void ChooseMenuMF::Check2_Click()
{
    m_check1->setChecked(false);
}

void ChooseMenuMF::Check3_Click()
{
    m_check4->setChecked(false);
    setTwoDigitOptionsEnabled(false);
    m_option[FirstOption]->setChecked(true);
}

void ChooseMenuMF::Check4_Click()
{
    m_check3->setChecked(false);
    setTwoDigitOptionsEnabled(true);
}

void ChooseMenuMF::tellStudent(const SelectionMessage &message)
{
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PeedySays({QStringLiteral("gestureleft")}, message.peedyText);
    if (m_app.settings().value(keys::VoiceEnabled))
        m_app.speech().VoiceSays(message.voiceText);
    m_app.tell(message.boxText, message.title);
}

void ChooseMenuMF::AcceptButt_Click()
{
    AppState &s = m_app.state();
    m_app.speech().QuietPeedy();
    const std::optional<FactRange> range = chosenRange(m_check3->isChecked(), m_check4->isChecked());
    if (!range) {
        tellStudent(missingRangeMessage());
        return;
    }
    // The counters go back to zero before the format is looked at, so a
    // missing format leaves them reset.
    s.Drill.resetCounters();
    s.Selection.factOption = 0;
    m_app.assistForm().hide();
    const std::optional<DrillFormat> format = chosenFormat(m_check1->isChecked(), m_check2->isChecked());
    if (!format) {
        tellStudent(missingFormatMessage());
        return;
    }

    m_app.scoreForm().resetNeedTo();

    const int factOption = selectedFactOption();
    s.Selection.operation = m_operation;
    s.Selection.range = *range;
    s.Selection.factOption = factOption;
    s.ActivityCode = activityCode(m_operation, factOption);
    s.FormatCode = formatCode(*format);
    s.RangeCode = rangeCode(*range);
    s.Drill.prepare(m_app.settings().value(keys::FactsCount));
    s.StartSeconds = secondsSinceMidnight(m_app.clock().now().time());

    m_app.factsProblems().openForDrill();
    hide();
}

void ChooseMenuMF::help_Click()
{
    m_app.showAssist(QStringLiteral("Menu Selection"),
                     QStringLiteral("Select a Format checkbox, Fact Range checkbox  and a Fact Option. Then press the "
                                    "Enter key or the Accept button."));
}

void ChooseMenuMF::Quit_Click()
{
    m_app.quitFrom(*this);
}

void ChooseMenuMF::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.state().FactsOfTenActive = false;
    m_app.facts10Menu().hide();
    MainMenu &menu = m_app.mainMenu();
    menu.show();
    menu.raise();
    menu.activateWindow();
}

} // namespace plovista
