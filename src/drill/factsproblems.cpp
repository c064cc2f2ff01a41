#include "drill/factsproblems.h"

#include "app/announcer.h"
#include "app/app.h"
#include "app/assistform.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "drill/answerbox.h"
#include "drill/answeredit.h"
#include "drill/drillspeech.h"
#include "drill/factslook.h"
#include "drill/scoreform.h"
#include "drill/scoring.h"
#include "fluency/answerlogwriter.h"
#include "fluency/answerrecorder.h"
#include "platform/clock.h"
#include "selection/choosemenumf.h"
#include "selection/facts10menu.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace plovista {

namespace {

using E = FactsElement;

constexpr std::array CorrectionLabels = {E::FactsVariableFix, E::FactsSignFix, E::FactsConstantFix, E::FactsEqualFix,
                                         E::FactsAnsFix};
constexpr std::array CorrectionLines = {2, 5, 6};

QString number(int value)
{
    return QString::number(value);
}

} // namespace

FactsProblems::FactsProblems(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("FactsProblems"))
{
    paintPaper(client());

    buildControls();
    buildMenuBar();

    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &FactsProblems::finishPress);

    m_answers =
        std::make_unique<AnswerRecorder>(app.clock(), [&app](AnswerEntry e) { app.answerLog().append(std::move(e)); });
    for (E e : {E::FactsVariable, E::FactsConstant, E::Text1})
        m_answers->watchPaintsOf(element(e));

    layOut();
}

FactsProblems::~FactsProblems() = default;

void FactsProblems::buildControls()
{
    const auto makeLabel = [this](E e, const QFont &font, QColor ink) {
        auto *l = new QLabel(client());
        l->setObjectName(factsElementName(e));
        l->setFont(font);
        setInk(l, ink);
        m_elements[static_cast<std::size_t>(e)] = l;
        return l;
    };
    for (E e : {E::FactsVariable, E::FactsSign, E::FactsConstant, E::FactsEqual})
        makeLabel(e, factsNumberFont(), FactsInk);
    for (E e : CorrectionLabels)
        makeLabel(e, factsNumberFont(), FactsRedPen);
    label(E::FactsEqual)->setText(QStringLiteral("="));
    label(E::FactsEqualFix)->setText(QStringLiteral("="));

    makeLabel(E::Label7, factsCounterFont(10), FactsInk)->setText(QStringLiteral("Countdown"));
    makeLabel(E::Label1, factsCounterFont(10), FactsInk)->setText(QStringLiteral("Right"));
    makeLabel(E::Label5, factsCounterFont(10), FactsInk)->setText(QStringLiteral("Wrong"));
    makeLabel(E::Label8, factsCounterFont(13), FactsInk)->setToolTip(QStringLiteral(" Number of facts left"));
    makeLabel(E::Label2, factsCounterFont(13), FactsInk)->setToolTip(QStringLiteral("  number of correct answers"));
    makeLabel(E::Label6, factsCounterFont(13), FactsInk)->setToolTip(QStringLiteral(" number of  incorrect answers"));

    m_text1 = new AnswerEdit(client());
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral(" Enter answer"));
    // The box has no caption; its tool tip names it.
    m_text1->setAccessibleName(QStringLiteral("Enter answer"));
    styleAnswerBox(m_text1);
    m_elements[static_cast<std::size_t>(E::Text1)] = m_text1;

    m_nextProbButt = new QPushButton(client());
    m_nextProbButt->setObjectName(QStringLiteral("NextProbButt"));
    m_nextProbButt->setToolTip(QStringLiteral(" Press Enter Key or this button for next fact"));
    m_nextProbButt->setFont(factsCounterFont(12));
    m_nextProbButt->setText(drillButtonCaption(DrillButton::Start));
    connect(m_nextProbButt, &QPushButton::clicked, this, &FactsProblems::NextProbButt_Click);
    m_elements[static_cast<std::size_t>(E::NextProbButt)] = m_nextProbButt;
    setDefaultButton(m_nextProbButt);

    m_announcer = new Announcer(QStringLiteral("Announcement"), client());

    // Lines go on top of the labels, whose empty margins may reach over them.
    for (int i = 0; i < 6; ++i) {
        const bool correction = i == 1 || i == 4 || i == 5;
        auto *line =
            new LineControl(QStringLiteral("Line%1").arg(i + 1), client(), correction ? FactsRedPen : FactsInk);
        line->hide();
        m_lines[static_cast<std::size_t>(i)] = line;
    }
}

void FactsProblems::buildMenuBar()
{
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &FactsProblems::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &FactsProblems::Quit_Click);
}

QLabel *FactsProblems::label(FactsElement e) const
{
    return static_cast<QLabel *>(element(e));
}

void FactsProblems::setPauses(std::chrono::milliseconds right, std::chrono::milliseconds wrong)
{
    m_rightPause = right;
    m_wrongPause = wrong;
}

DrillSetup FactsProblems::drillSetup() const
{
    const AppState &s = m_app.state();
    DrillSetup setup;
    setup.choice = s.Selection;
    if (s.FactsOfTenActive) {
        setup.choice.operation = Operation::FactsOfTen;
        // The format code is what the record will say; the drill follows it.
        if (s.FormatCode == QLatin1String("1") || s.FormatCode == QLatin1String("2"))
            setup.choice.factsOfTenFormat = s.FormatCode.toInt();
    }
    const Settings &settings = m_app.settings();
    setup.factsCount = settings.value(keys::FactsCount);
    setup.peedyFeedback = settings.value(keys::PeedyEnabled) && settings.value(keys::PeedyFeedback);
    setup.voiceFeedback = settings.value(keys::VoiceEnabled) && settings.value(keys::VoiceFeedback);
    return setup;
}

bool FactsProblems::isVertical() const
{
    return m_app.state().FormatCode == QLatin1String("V");
}

void FactsProblems::layOut()
{
    cancelPause();
    const DrillChoice choice = drillSetup().choice;
    m_layout = factsLayout(choice, isVertical());
    m_shown = m_layout;

    setClientSizeTwips(m_layout.clientWidth, m_layout.clientHeight);
    setWindowTitle(m_layout.caption);
    applyGeometry(m_layout);
    for (int i = 0; i < FactsElementCount; ++i) {
        const auto e = static_cast<E>(i);
        element(e)->setVisible(m_layout.at(e).visible);
    }
    for (int n = 1; n <= 6; ++n)
        m_lines[static_cast<std::size_t>(n - 1)]->setVisible(m_layout.line(n).visible);
    m_correctionShown = false;

    label(E::FactsSign)->setText(m_layout.sign);
    label(E::FactsSignFix)->setText(m_layout.sign);
    label(E::FactsSign)->setFont(factsSignFont(m_layout.signPointSize));
    label(E::FactsSignFix)->setFont(factsSignFont(m_layout.signFixPointSize));
    label(E::FactsVariable)->setText(m_layout.variableText);
    label(E::FactsConstant)->setText(m_layout.constantText);
    m_text1->setMaxLength(m_layout.answerLength);
    m_text1->setText(QStringLiteral("?"));
}

void FactsProblems::applyGeometry(const FactsLayout &layout)
{
    for (int i = 0; i < FactsElementCount; ++i) {
        const auto e = static_cast<E>(i);
        const Placement &p = layout.at(e);
        QWidget *widget = element(e);
        if (auto *l = qobject_cast<QLabel *>(widget))
            placeFactsLabel(l, p);
        else
            placeTwips(widget, p.left, p.top, p.width, p.height);
    }
    m_text1->setAlignment(factsAlignment(layout.at(E::Text1).align));
    m_text1->setTextMargins(0, twips(layout.at(E::Text1).marginTop), 0, 0);
    for (int n = 1; n <= 6; ++n)
        placeFactsLine(m_lines[static_cast<std::size_t>(n - 1)], layout.line(n));
}

void FactsProblems::openForDrill()
{
    // The menu's Accept has reset the drill; the window shows it from the top.
    const AppState &s = m_app.state();
    layOut();

    label(E::Label2)->setText(QStringLiteral("0"));
    label(E::Label6)->setText(QStringLiteral("0"));
    label(E::Label7)->setText(QStringLiteral("Countdown"));
    label(E::Label8)->setText(number(m_app.settings().value(keys::FactsCount)));
    m_nextProbButt->setText(drillButtonCaption(s.Drill.Button));
    m_text1->setEnabled(false);
    m_drillOpen = true;
    m_scoreTaken = false;

    show();
    raise();
    activateWindow();
    m_nextProbButt->setFocus();
}

void FactsProblems::clearAnswer()
{
    m_text1->clear();
}

void FactsProblems::clearFact()
{
    label(E::FactsVariable)->clear();
    label(E::FactsConstant)->clear();
    clearAnswer();
}

void FactsProblems::NextProbButt_Click()
{
    // A press while the last answer's feedback is on screen would count that
    // answer twice; the student waits for the pause as for the teacher.
    if (isPausing())
        return;
    m_answers->pressed();
    AppState &s = m_app.state();
    Speech &speech = m_app.speech();
    m_app.assistForm().hide();
    speech.QuietPeedyAtWord();

    const PressResult result = s.Drill.press(m_text1->text(), drillSetup(), m_app.random());
    if (result.startsTiming) {
        s.StartSeconds = secondsSinceMidnight(m_app.clock().now().time());
        m_answers->drillStarted({s.StudentName, s.FormatCode, s.FactsOfTenActive ? QString() : s.RangeCode,
                                 QCoreApplication::applicationVersion(), m_app.systemInfo().computerName()});
    }
    // The short bar is the corrected fact's minus; outside a subtraction drill
    // it may only stand beside a corrected fact still on screen.
    if (!s.SubtractionFlag && !m_correctionShown)
        m_lines[1]->hide();
    label(E::Label8)->setText(number(result.factsLeft));

    if (result.outcome == PressResult::Outcome::Score) {
        m_scoreTaken = true;
        m_app.scoreForm().GetScore();
        return;
    }
    m_text1->setEnabled(true);
    m_nextProbButt->setText(drillButtonCaption(DrillButton::Check));

    switch (result.outcome) {
    case PressResult::Outcome::NoAnswer:
        m_text1->clear();
        speech.SayComment({}, QString::fromLatin1(PleaseTypeAnswerText));
        m_announcer->announce(QString::fromLatin1(PleaseTypeAnswerText));
        m_text1->setFocus();
        if (s.FactsOfTenActive) {
            m_lines[4]->hide();
            m_lines[5]->hide();
        }
        return;
    case PressResult::Outcome::Answered:
        m_answers->answered(answerValue(m_text1->text()).value_or(0), result.verdict == Verdict::Right);
        // Praise is let go for the next fact at most every other time; when
        // it is to be kept, what waits before it goes now instead, so speech
        // still never falls more than a sentence and the praise behind.
        m_keepPraise = result.verdict == Verdict::Right && m_praiseDropped;
        if (m_keepPraise)
            speech.DropWaitingSpeech();
        m_pending = result;
        GetAnswer(result);
        m_pause.start(result.verdict == Verdict::Right ? m_rightPause : m_wrongPause);
        return;
    case PressResult::Outcome::Started:
    case PressResult::Outcome::Score:
        break;
    }
    m_pending = result;
    finishPress();
}

void FactsProblems::GetAnswer(const PressResult &result)
{
    if (result.verdict == Verdict::Right) {
        // The lines of an earlier correction go with its labels, or a stray
        // bar would stand alone through the pause.
        hideCorrection();
        m_text1->hide();
        m_announcer->announce(QString::fromLatin1(RightAnnouncementText));
    } else if (result.correction) {
        showCorrection(*result.correction);
        m_announcer->announce(wrongAnnouncement(*result.correction));
    }

    speakFeedback(m_app.speech(), result.feedback);
}

void FactsProblems::finishPress()
{
    if (!m_pending)
        return;
    const PressResult result = *m_pending;
    m_pending.reset();
    const AppState &s = m_app.state();

    if (result.verdict == Verdict::Right) {
        hideCorrection();
    } else if (result.verdict == Verdict::Wrong) {
        m_text1->clear();
        m_text1->setFocus();
    }
    if (result.outcome == PressResult::Outcome::Answered) {
        label(E::Label2)->setText(number(s.Drill.RightCount));
        label(E::Label6)->setText(number(s.Drill.WrongCount));
    }

    m_text1->show();
    if (isVisible())
        m_text1->setFocus();

    if (result.drillOver) {
        const Placement &button = m_layout.at(E::NextProbButt);
        placeTwips(m_nextProbButt, button.left, button.top, GetScoreButtonWidth, button.height);
        m_nextProbButt->setText(drillButtonCaption(DrillButton::GetScore));
        m_app.speech().SayComment({}, QString::fromLatin1(GetYourScoreText));
        m_announcer->announce(QString::fromLatin1(GetYourScoreText));
        m_text1->setEnabled(false);
        return;
    }
    if (result.fact) {
        // Feedback not yet begun belongs to a fact the student has left. A
        // correction is never dropped (a fact asked again keeps it on screen
        // too); praise is, at most every other time, so a quick student
        // still hears some.
        const bool praise = result.verdict == Verdict::Right && result.outcome == PressResult::Outcome::Answered;
        const bool drop = !result.askedAgain && result.verdict != Verdict::Wrong && !(praise && m_keepPraise);
        if (praise)
            m_praiseDropped = drop;
        if (drop)
            m_app.speech().DropWaitingSpeech();
        m_answers->factShown(*result.fact, result.askedAgain);
        presentFact(*result.fact);
    }
}

void FactsProblems::presentFact(const Fact &fact)
{
    m_shown = fitToFact(m_layout, fact);
    applyGeometry(m_shown);
    label(E::FactsVariable)->setText(number(fact.left));
    label(E::FactsConstant)->setText(number(fact.right));
    m_text1->clear();
    readAloud(fact);
    m_announcer->announce(factAnnouncement(fact));
}

void FactsProblems::readAloud(const Fact &fact)
{
    Speech &speech = m_app.speech();
    if (readFactAloud(speech, m_app.settings().value(keys::PeedyEnabled), m_app.settings().value(keys::VoiceEnabled),
                      fact))
        speech.whenSaid(m_answers->readingEnded());
}

void FactsProblems::showCorrection(const Fact &fact)
{
    label(E::FactsVariableFix)->setText(number(fact.left));
    label(E::FactsConstantFix)->setText(number(fact.right));
    label(E::FactsAnsFix)->setText(number(fact.answer));
    for (E e : m_shown.correctionLabels)
        element(e)->show();
    for (int n : m_shown.correctionLines)
        m_lines[static_cast<std::size_t>(n - 1)]->show();
    m_correctionShown = true;
}

void FactsProblems::hideCorrection()
{
    for (E e : CorrectionLabels)
        element(e)->hide();
    for (int n : CorrectionLines)
        m_lines[static_cast<std::size_t>(n - 1)]->hide();
    m_correctionShown = false;
}

void FactsProblems::cancelPause()
{
    m_pause.stop();
    m_pending.reset();
}

void FactsProblems::help_Click()
{
    m_app.showAssist(QStringLiteral("Display Problem"),
                     QStringLiteral("Press the Enter key or the Start button to begin.  To remove a number you have "
                                    "entered, press the Del key in the number pad, the Spacebar, or the Backspace "
                                    "key."));
}

void FactsProblems::Quit_Click()
{
    m_app.quitFrom(*this, [this] { leaveDrill(DrillEnd::ProgramEnding); });
}

QString FactsProblems::answersDrillId() const
{
    return m_answers->drillId();
}

void FactsProblems::programEnding(Ending ending)
{
    if (m_drillOpen)
        leaveDrill(ending == Ending::Forced ? DrillEnd::ProgramForcedToEnd : DrillEnd::ProgramEnding);
}

void FactsProblems::leaveDrill(DrillEnd end)
{
    AppState &s = m_app.state();
    cancelPause();
    // Every drill that was opened and not scored leaves a record marked
    // unfinished: one closed before "Start" or part-way, as the drill's own
    // rule has it, and also one closed on its last fact or with "Get Score"
    // waiting, which would otherwise leave no trace of the student's work.
    const bool recordDue = s.Drill.closeWindow(m_app.settings().value(keys::FactsCount));
    const bool recording = m_drillOpen && !m_scoreTaken && (recordDue || s.Drill.FactsShown > 0);
    // Left before the record is written: a signal taken while a box about the
    // record is up ends the program through here again.
    m_drillOpen = false;
    if (recording) {
        s.Drill.IncompleteDrill = true;
        m_app.scoreForm().recordIncompleteDrill(end);
    }
}

void FactsProblems::closeEvent(QCloseEvent *event)
{
    AppState &s = m_app.state();
    leaveDrill(DrillEnd::ProgramGoesOn);

    m_app.assistForm().hide();
    m_lines[0]->hide();
    m_lines[1]->hide();
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().StopPeedy();
    event->accept();

    FormWindow &menu = s.FactsOfTenActive ? static_cast<FormWindow &>(m_app.facts10Menu())
                                          : static_cast<FormWindow &>(m_app.chooseMenuMF());
    menu.show();
    menu.raise();
    menu.activateWindow();
}

} // namespace plovista
