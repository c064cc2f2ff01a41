#include "drill/scoreform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/shapes.h"
#include "app/staleinputguard.h"
#include "app/twips.h"
#include "drill/factsproblems.h"
#include "drill/recordline.h"
#include "drill/scoring.h"
#include "fluency/answerlogwriter.h"
#include "platform/clock.h"
#include "selection/choosemenumf.h"
#include "selection/facts10menu.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace plovista {

namespace {

// No colour is the button face, the colour a label has when nothing is wrong.
void setBackground(QLabel *label, std::optional<Rgb> colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window,
                     colour ? QColor(colour->red, colour->green, colour->blue) : palette.color(QPalette::Button));
    label->setPalette(palette);
}

// The drill as scoring sees it, timed up to `endSeconds`.
DrillResult drillResult(const AppState &s, int factsCount, int endSeconds)
{
    DrillResult drill;
    drill.factsAnswered = std::max(s.Drill.FactNumber - 1, 0);
    drill.wrongCount = s.Drill.WrongCount;
    drill.factsCount = factsCount;
    drill.startSeconds = static_cast<int>(s.StartSeconds);
    drill.endSeconds = endSeconds;
    drill.previousSpeed = s.Speed;
    return drill;
}

} // namespace

ScoreForm::ScoreForm(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("ScoreForm"))
{
    setWindowTitle(QStringLiteral("Your Score"));
    setClientSizeTwips(6900, 4200);

    auto *shape1 =
        new ShapeControl(QStringLiteral("Shape1"), client(), QColor(0x1f, 0x5f, 0x9f), Qt::transparent, 2, 8);
    placeTwips(shape1, 200, 240, 6500, 1920);

    const Qt::Alignment right = Qt::AlignRight;
    auto *yourAccuracy =
        label(client(), QStringLiteral("YourAccuracy"), QStringLiteral("Accuracy ="), 12, false, right);
    placeTwips(yourAccuracy, 350, 560, 1850, 420);
    m_percent = label(client(), QStringLiteral("Percent"), QString(), 14, true, Qt::AlignLeft);
    m_percent->setToolTip(QStringLiteral(" your score"));
    placeTwips(m_percent, 2300, 560, 1000, 420);
    auto *yourSpeed = label(client(), QStringLiteral("YourSpeed"), QStringLiteral("Speed ="), 12, false, right);
    placeTwips(yourSpeed, 350, 1360, 1850, 420);
    m_seconds = label(client(), QStringLiteral("Seconds"), QString(), 14, true, Qt::AlignLeft);
    m_seconds->setToolTip(QStringLiteral(" average seconds per fact"));
    placeTwips(m_seconds, 2300, 1360, 1000, 420);

    auto *accuracyGoal =
        label(client(), QStringLiteral("AccuracyGoal"), QStringLiteral("Accuracy Goal:"), 10, false, right);
    placeTwips(accuracyGoal, 3300, 590, 1850, 360);
    m_agoalLabel = label(client(), QStringLiteral("AgoalLabel"), QString(), 10, true, Qt::AlignHCenter);
    m_agoalLabel->setToolTip(QStringLiteral(" accuracy goal setting"));
    placeTwips(m_agoalLabel, 5300, 590, 1000, 360);
    auto *speedGoal = label(client(), QStringLiteral("SpeedGoal"), QStringLiteral("Speed Goal:"), 10, false, right);
    placeTwips(speedGoal, 3300, 1390, 1850, 360);
    m_sgoalLabel = label(client(), QStringLiteral("SgoalLabel"), QString(), 10, true, Qt::AlignHCenter);
    m_sgoalLabel->setToolTip(QStringLiteral(" speed goal setting"));
    placeTwips(m_sgoalLabel, 5300, 1390, 1000, 360);
    // The goal labels are boxes whose colour marks a missed goal.
    for (QLabel *goal : {m_agoalLabel, m_sgoalLabel}) {
        goal->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        goal->setAutoFillBackground(true);
        setBackground(goal, std::nullopt);
    }

    m_needTo = label(client(), QStringLiteral("NeedTo"), QStringLiteral("You need to increase speed and accuracy."), 11,
                     true, Qt::AlignHCenter);
    m_needTo->setAutoFillBackground(true);
    setBackground(m_needTo, std::nullopt);
    placeTwips(m_needTo, 700, 2450, 6000, 450);

    m_doOver = new QPushButton(QStringLiteral("Continue"), client());
    m_doOver->setObjectName(QStringLiteral("DoOver"));
    placeTwips(m_doOver, 2843, 3330, 1215, 450);
    connect(m_doOver, &QPushButton::clicked, this, &ScoreForm::DoOver_Click);
    setDefaultButton(m_doOver);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &ScoreForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &ScoreForm::Quit_Click);
}

void ScoreForm::GetScore()
{
    AppState &s = m_app.state();
    const Settings &settings = m_app.settings();
    const int endSeconds = secondsSinceMidnight(m_app.clock().now().time());

    ScoreInput input;
    input.drill = drillResult(s, settings.value(keys::FactsCount), endSeconds);
    input.goals = goalsOf(settings);
    input.switches = speechSwitches(settings);
    input.spokenName = s.SpokenName;
    const ScoreOutcome outcome = getScore(input, m_app.random());
    s.Speed = outcome.score.Speed;

    fill(outcome.screen);
    perform(m_app.speech(), outcome.comments);

    FactsProblems &drill = m_app.factsProblems();
    drill.hide();
    drill.clearFact();

    perform(m_app.speech(), outcome.rewards);

    show();
    raise();
    activateWindow();
    m_app.company().hideNamePanel();
    // Enters hammered at "Get Score" would otherwise press Continue, or
    // close a box about the record, before the student has seen the score.
    StaleInputGuard::guard(*this, m_app.clock());
    GetRecords(outcome.score, false, DrillEnd::ProgramGoesOn);

    s.Drill.RightCount = 0;
    s.Drill.WrongCount = 0;
    s.Drill.FactNumber = 0;
}

void ScoreForm::recordIncompleteDrill(DrillEnd end)
{
    // The last scored drill's accuracy and speed would misreport this
    // student, so the record carries what this drill has shown so far.
    const int now = secondsSinceMidnight(m_app.clock().now().time());
    GetRecords(scoreSoFar(drillResult(m_app.state(), m_app.settings().value(keys::FactsCount), now)), true, end);
}

void ScoreForm::fill(const ScoreScreen &screen)
{
    m_percent->setText(screen.percent);
    m_seconds->setText(screen.seconds);
    m_agoalLabel->setText(screen.accuracyGoal);
    m_sgoalLabel->setText(screen.speedGoal);
    setBackground(m_agoalLabel, screen.accuracyGoalBackground);
    setBackground(m_sgoalLabel, screen.speedGoalBackground);
    if (screen.needTo) {
        m_needTo->setText(screen.needTo->text);
        setBackground(m_needTo, screen.needTo->background);
        m_needTo->setGeometry(twips(screen.needTo->left), m_needTo->y(), twips(screen.needTo->width),
                              m_needTo->height());
    } else {
        m_needTo->clear();
        setBackground(m_needTo, std::nullopt);
    }
}

void ScoreForm::GetRecords(const DrillScore &score, bool incomplete, DrillEnd end)
{
    const AppState &s = m_app.state();
    const Settings &settings = m_app.settings();
    const Goals goals = goalsOf(settings);
    RecordFields record;
    record.date = m_app.clock().now().date();
    record.name = s.StudentName;
    record.activityCode = s.ActivityCode;
    record.formatCode = s.FormatCode;
    record.rangeCode = s.RangeCode;
    record.factsCount = settings.value(keys::FactsCount);
    record.accuracy = score.Accuracy;
    record.accuracyGoal = goals.accuracy;
    record.speed = score.Speed;
    record.speedGoal = goals.speed;
    record.minutesSpent = score.MinutesSpent;
    record.incomplete = incomplete;

    const QLocale locale = QLocale::system();
    const WriteResult result = appendRecord(m_app.workingFolder(), record, locale,
                                            end == DrillEnd::ProgramForcedToEnd ? ForcedEndingWait : AppendLockWait);
    // Ending by a signal, nobody is there to read a box, and it would hold up
    // the end the signal asked for.
    if (end == DrillEnd::ProgramForcedToEnd)
        return;
    QStringList problems;
    // The teacher can type the line in by hand.
    if (!result.ok)
        problems << QStringLiteral(
                        "The drill of %1 could not be recorded in the current records file \"%2\": %3.\n\nThe "
                        "record that was not written:\n%4")
                        .arg(s.StudentName, CurrentRecordsFile, result.error, recordLine(record, locale).trimmed());
    if (end == DrillEnd::ProgramGoesOn) {
        if (const QStringList answers = answersNotLogged(); !answers.isEmpty())
            problems << QStringLiteral("Answers of this drill could not be written to the answer log:\n%1\nThe "
                                       "program keeps trying while it runs; they are lost if it ends first.")
                            .arg(answers.join(u'\n'));
    }
    if (problems.isEmpty())
        return;
    // The student sees the score; only the teacher can mend the folder. Told
    // here, at the drill's end, and not as the log fails: a box in the
    // middle of a drill would take the answer's Enter and its time.
    m_app.tell(QStringLiteral("Please show this message to your teacher.\n\n%1").arg(problems.join(u"\n\n")),
               QStringLiteral("Drill Not Recorded"), MsgIcon::Critical);
}

QStringList ScoreForm::answersNotLogged()
{
    const QString drill = m_app.factsProblems().answersDrillId();
    if (drill.isEmpty())
        return {};
    AnswerLogWriter &log = m_app.answerLog();
    // The last answer was handed on a moment ago: it gets a short while to
    // be tried, so a disk that filled up on it is told with this drill.
    log.flush(std::chrono::milliseconds(500));
    const AnswerLogWriter::Backlog backlog = log.backlog();
    return backlog.holdsUp(drill) ? describeBacklog(backlog) : QStringList();
}

void ScoreForm::resetNeedTo()
{
    setBackground(m_needTo, std::nullopt);
}

void ScoreForm::showDrillMenu()
{
    FormWindow &menu = m_app.state().FactsOfTenActive ? static_cast<FormWindow &>(m_app.facts10Menu())
                                                      : static_cast<FormWindow &>(m_app.chooseMenuMF());
    menu.show();
    menu.raise();
    menu.activateWindow();
    // Nor may the key that left this screen, still down or repeating, press
    // the menu's Accept.
    StaleInputGuard::guard(menu, m_app.clock());
}

void ScoreForm::DoOver_Click()
{
    AppState &s = m_app.state();
    m_app.assistForm().hide();
    m_app.speech().QuietPeedy();
    s.Selection.factOption = 0;
    s.Drill.FactVariable = 0;
    resetNeedTo();
    hide();
    showDrillMenu();
}

void ScoreForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void ScoreForm::help_Click()
{
    m_app.showAssist(QStringLiteral("Your Score"),
                     QStringLiteral("The Speed value is the average number of seconds it took to complete a fact. The "
                                    "Accuracy value is the percentage correct. (The Speed Goal and Accuracy Goal are "
                                    "preset values.)"));
}

void ScoreForm::closeEvent(QCloseEvent *event)
{
    m_app.assistForm().hide();
    m_app.speech().QuietPeedy();
    showDrillMenu();
    event->accept();
}

} // namespace plovista
