#include "practice/dailypractice.h"

#include "app/announcer.h"
#include "app/app.h"
#include "app/assistform.h"
#include "app/shapes.h"
#include "app/staleinputguard.h"
#include "app/twips.h"
#include "drill/answerbox.h"
#include "drill/answeredit.h"
#include "drill/drillspeech.h"
#include "drill/factslook.h"
#include "fluency/answerlogwriter.h"
#include "fluency/answerrecorder.h"
#include "fluency/factstatus.h"
#include "platform/clock.h"
#include "platform/printing.h"
#include "platform/systeminfo.h"
#include "selection/mainmenu.h"
#include "selection/optionbutton.h"
#include "selection/selectioncodes.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <functional>

namespace plovista {

namespace {

using E = FactsElement;

constexpr std::array CorrectionLabels = {E::FactsVariableFix, E::FactsSignFix, E::FactsConstantFix, E::FactsEqualFix,
                                         E::FactsAnsFix};
constexpr std::array AllOperations = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                      Operation::Division};

// The answer page is the drill window's size; the end page has room for the
// map beside the ring.
constexpr int AnswerWidth = 4635;
constexpr int AnswerHeight = 4600;
constexpr int EndWidth = 9600;
constexpr int EndHeight = 6900;

// A widget that is one drawing.
class Drawing final : public QWidget
{
public:
    using Paint = std::function<void(QPainter &, const QRectF &)>;
    Drawing(const QString &name, QWidget *parent, Paint paint)
        : QWidget(parent)
        , m_paint(std::move(paint))
    {
        setObjectName(name);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_paint(painter, QRectF(rect()));
    }

private:
    Paint m_paint;
};

QString operationCaption(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return QStringLiteral("Addition");
    case Operation::Subtraction:
        return QStringLiteral("Subtraction");
    case Operation::Multiplication:
        return QStringLiteral("Multiplication");
    case Operation::Division:
        return QStringLiteral("Division");
    case Operation::FactsOfTen:
        break;
    }
    return QStringLiteral("Facts of Ten");
}

QString firstName(const QString &name)
{
    const QString trimmed = name.trimmed();
    return trimmed.section(QLatin1Char(' '), 0, 0);
}

QPair<int, int> factKey(const Fact &fact)
{
    return {fact.left, fact.right};
}

} // namespace

DailyPractice::DailyPractice(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("DailyPractice"))
{
    setWindowTitle(QStringLiteral("Daily Practice"));
    paintPaper(client());
    buildChoosePage();
    buildAnswerPage();
    buildEndPage();

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &DailyPractice::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &DailyPractice::Quit_Click);

    // Only its timing is used: the session makes the log's lines.
    m_timing = std::make_unique<AnswerRecorder>(app.clock(), [](AnswerEntry) {});
    for (E e : {E::FactsVariable, E::FactsConstant})
        m_timing->watchPaintsOf(m_labels[static_cast<std::size_t>(e)]);
    m_timing->watchPaintsOf(m_text1);

    m_cap.setSingleShot(true);
    connect(&m_cap, &QTimer::timeout, this, [this] { finishAnswer(std::nullopt, true); });
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &DailyPractice::afterPause);
    showPage(Page::Choose);
}

DailyPractice::~DailyPractice() = default;

void DailyPractice::buildChoosePage()
{
    m_choosePage = new QWidget(client());
    m_choosePage->setObjectName(QStringLiteral("ChoosePage"));
    placeTwips(m_choosePage, 0, 0, AnswerWidth, AnswerHeight);
    m_greeting = label(m_choosePage, QStringLiteral("GreetingLabel"), {}, 12, true, Qt::AlignHCenter);
    m_greeting->setWordWrap(true);
    setInk(m_greeting, FactsInk);
    placeTwips(m_greeting, 240, 240, AnswerWidth - 480, 900);
    int top = 1300;
    for (std::size_t i = 0; i < AllOperations.size(); ++i) {
        const Operation operation = AllOperations[i];
        auto *option = new OptionButton(QStringLiteral("Practice") + operationCaption(operation),
                                        operationCaption(operation), m_choosePage);
        QFont font = option->font();
        font.setPointSize(11);
        option->setFont(font);
        placeTwips(option, 1300, top, 2400, 420);
        connect(option, &OptionButton::doubleClicked, this, &DailyPractice::StartButt_Click);
        m_operations[i] = option;
        top += 480;
    }
    m_noneOffered = label(m_choosePage, QStringLiteral("NoneOffered"),
                          QStringLiteral("Your teacher has not chosen anything to practise yet."), 10);
    m_noneOffered->setWordWrap(true);
    placeTwips(m_noneOffered, 600, 1500, AnswerWidth - 1200, 900);
    m_startButt = button(m_choosePage, QStringLiteral("StartButt"), QStringLiteral("Start"),
                         QStringLiteral(" Press Enter Key or this button to begin "));
    m_startButt->setFont(factsCounterFont(12));
    placeTwips(m_startButt, 1500, 3900, 1400, 500);
    connect(m_startButt, &QPushButton::clicked, this, &DailyPractice::StartButt_Click);
}

void DailyPractice::buildAnswerPage()
{
    m_answerPage = new QWidget(client());
    m_answerPage->setObjectName(QStringLiteral("AnswerPage"));
    placeTwips(m_answerPage, 0, 0, AnswerWidth, AnswerHeight);

    const auto makeLabel = [this](E e, const QFont &font, QColor ink) {
        auto *l = new QLabel(m_answerPage);
        l->setObjectName(factsElementName(e));
        l->setFont(font);
        setInk(l, ink);
        m_labels[static_cast<std::size_t>(e)] = l;
        return l;
    };
    for (E e : {E::FactsVariable, E::FactsSign, E::FactsConstant, E::FactsEqual})
        makeLabel(e, factsNumberFont(), FactsInk);
    for (E e : CorrectionLabels)
        makeLabel(e, factsNumberFont(), FactsRedPen);
    m_labels[static_cast<std::size_t>(E::FactsEqual)]->setText(QStringLiteral("="));
    m_labels[static_cast<std::size_t>(E::FactsEqualFix)]->setText(QStringLiteral("="));
    // The count of facts left stands where the drill's countdown does; the
    // drill's counts of right and wrong answers have no place here: today's
    // practice is measured by the effort alone.
    makeLabel(E::Label7, factsCounterFont(10), FactsInk)->setText(QStringLiteral("Facts left"));
    makeLabel(E::Label8, factsCounterFont(13), FactsInk)->setToolTip(QStringLiteral(" Number of facts left"));

    m_text1 = new AnswerEdit(m_answerPage);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral(" Enter answer"));
    m_text1->setAccessibleName(QStringLiteral("Enter answer"));
    styleAnswerBox(m_text1);

    m_checkButt = button(m_answerPage, QStringLiteral("CheckButt"), QStringLiteral("Check"),
                         QStringLiteral(" Press Enter Key or this button to check your answer "));
    m_checkButt->setFont(factsCounterFont(12));
    connect(m_checkButt, &QPushButton::clicked, this, &DailyPractice::CheckButt_Click);
    m_skipButt = button(m_answerPage, QStringLiteral("SkipButt"), QStringLiteral("Skip"),
                        QStringLiteral(" Press Esc or this button when you do not know it "));
    m_skipButt->setFont(factsCounterFont(12));
    connect(m_skipButt, &QPushButton::clicked, this, &DailyPractice::SkipButt_Click);

    m_stepLabel = label(m_answerPage, QStringLiteral("StepLabel"), {}, 11, true, Qt::AlignHCenter);
    m_stepLabel->setWordWrap(true);
    setInk(m_stepLabel, FactsInk);
    placeTwips(m_stepLabel, 240, 900, AnswerWidth - 480, 700);

    // The days are counted at the end; here the ring alone fills.
    m_ring = new Drawing(QStringLiteral("PracticeRing"), m_answerPage,
                         [this](QPainter &p, const QRectF &area) { paintPracticeRing(p, area, m_done, -1); });
    m_ring->setToolTip(QStringLiteral(" Today's practice "));
    placeTwips(m_ring, 3500, 150, 700, 700);

    // On the window, not a page: the end is told too.
    m_announcer = new Announcer(QStringLiteral("Announcement"), client());

    for (int i = 0; i < 6; ++i) {
        auto *line =
            new LineControl(QStringLiteral("Line%1").arg(i + 1), m_answerPage, i == 1 ? FactsRedPen : FactsInk);
        line->hide();
        m_lines[static_cast<std::size_t>(i)] = line;
    }
}

void DailyPractice::buildEndPage()
{
    m_endPage = new QWidget(client());
    m_endPage->setObjectName(QStringLiteral("EndPage"));
    placeTwips(m_endPage, 0, 0, EndWidth, EndHeight);

    m_endTitle = label(m_endPage, QStringLiteral("EndTitle"), {}, 14, true);
    setInk(m_endTitle, FactsInk);
    placeTwips(m_endTitle, 240, 120, EndWidth - 480, 480);

    m_map = new Drawing(QStringLiteral("PracticeMap"), m_endPage,
                        [this](QPainter &p, const QRectF &area) { paintPracticeMap(p, area, m_mapData); });
    placeTwips(m_map, 240, 700, 6000, 5250);

    m_endRing = new Drawing(QStringLiteral("EndRing"), m_endPage, [this](QPainter &p, const QRectF &area) {
        paintPracticeRing(p, area, m_done, m_summary.practiceDays);
    });
    m_endRing->setToolTip(QStringLiteral(" Today's practice "));
    placeTwips(m_endRing, 6900, 700, 1900, 1900);

    const auto side = [this](const QString &name, int top, int height, int points) {
        QLabel *l = label(m_endPage, name, {}, points, true);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setInk(l, FactsInk);
        placeTwips(l, 6500, top, EndWidth - 6500 - 240, height);
        return l;
    };
    m_days = side(QStringLiteral("DaysLabel"), 2700, 400, 11);
    m_days->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_newToday = side(QStringLiteral("NewTodayLabel"), 3200, 1000, 11);
    m_known = side(QStringLiteral("KnownLabel"), 4250, 800, 11);

    m_printButt = button(m_endPage, QStringLiteral("PrintButt"), QStringLiteral("Print certificate"),
                         QStringLiteral(" Print your certificate "));
    m_printButt->setFont(factsCounterFont(11));
    placeTwips(m_printButt, 6500, 5150, 2860, 500);
    connect(m_printButt, &QPushButton::clicked, this, &DailyPractice::PrintButt_Click);
    m_doneButt = button(m_endPage, QStringLiteral("DoneButt"), QStringLiteral("Done"),
                        QStringLiteral(" Press Enter Key or this button to finish "));
    m_doneButt->setFont(factsCounterFont(12));
    placeTwips(m_doneButt, 7230, 5950, 1400, 500);
    connect(m_doneButt, &QPushButton::clicked, this, &DailyPractice::DoneButt_Click);
}

void DailyPractice::showPage(Page page)
{
    m_page = page;
    m_choosePage->setVisible(page == Page::Choose);
    m_answerPage->setVisible(page == Page::Answer);
    m_endPage->setVisible(page == Page::End);
    if (page == Page::End)
        setClientSizeTwips(EndWidth, EndHeight);
    else
        setClientSizeTwips(AnswerWidth, AnswerHeight);
    switch (page) {
    case Page::Choose:
        setDefaultButton(m_startButt);
        break;
    case Page::Answer:
        setDefaultButton(m_checkButt);
        break;
    case Page::End:
        setDefaultButton(m_doneButt);
        break;
    }
}

void DailyPractice::setPauses(std::chrono::milliseconds right, std::chrono::milliseconds wrong)
{
    m_rightPause = right;
    m_wrongPause = wrong;
}

void DailyPractice::openFrom(QWidget &opener)
{
    stopSession();
    const QList<Operation> offered = practiceOperations(m_app.settings());
    // The operation the Main Menu has selected, when it is on offer.
    const std::optional<Operation> selected = m_app.mainMenu().selectedOperation();
    OptionButton *first = nullptr;
    for (std::size_t i = 0; i < AllOperations.size(); ++i) {
        const bool on = offered.contains(AllOperations[i]);
        m_operations[i]->setVisible(on);
        if (on && (!first || selected == AllOperations[i]))
            first = m_operations[i];
    }
    // The options on offer stand together, from the top.
    int top = 1300;
    for (OptionButton *option : m_operations) {
        if (!option->isVisibleTo(m_choosePage))
            continue;
        placeTwips(option, 1300, top, 2400, 420);
        top += 480;
    }
    m_noneOffered->setVisible(!first);
    m_startButt->setEnabled(first);
    m_greeting->setText(
        QStringLiteral("Hello, %1! What will you practise today?").arg(firstName(m_app.state().StudentName)));
    showPage(Page::Choose);
    opener.hide();
    show();
    raise();
    activateWindow();
    if (first) {
        first->setChecked(true);
        first->setFocus();
    }
}

std::optional<Operation> DailyPractice::chosenOperation() const
{
    for (std::size_t i = 0; i < AllOperations.size(); ++i)
        if (m_operations[i]->isVisibleTo(m_choosePage) && m_operations[i]->isChecked())
            return AllOperations[i];
    return std::nullopt;
}

void DailyPractice::StartButt_Click()
{
    const std::optional<Operation> operation = chosenOperation();
    if (!operation)
        return;
    m_app.assistForm().hide();
    m_operation = *operation;
    const AppState &s = m_app.state();
    const Settings &settings = m_app.settings();
    const QDateTime now = m_app.clock().now();
    // The answers of a drill just finished on this computer count too.
    m_app.answerLog().flush(std::chrono::seconds(3));
    const PracticeHistory history = practiceHistory(m_app.answerLog().folder(), s.StudentName, m_operation,
                                                    fluencyThresholdMs(settings.value(keys::SpeedGoal)), now.date());
    m_session = std::make_unique<PracticeSession>(history, m_operation, practiceOptions(settings), now,
                                                  static_cast<quint64>(now.toMSecsSinceEpoch()));
    m_context = {s.StudentName, QStringLiteral("H"),
                 history.range == FactRange::ZeroToTwelve ? QStringLiteral("0->12") : QStringLiteral("0->9"),
                 QCoreApplication::applicationVersion(), m_app.systemInfo().computerName()};
    m_summary = m_session->summary();
    m_modelled.clear();
    m_done = 0;

    m_layout = factsLayout({m_operation, history.range, 0, 2}, false);
    for (int i = 0; i < FactsElementCount; ++i) {
        const auto e = static_cast<E>(i);
        if (QLabel *l = m_labels[static_cast<std::size_t>(i)])
            placeFactsLabel(l, m_layout.at(e));
    }
    const Placement &box = m_layout.at(E::Text1);
    placeTwips(m_text1, box.left, box.top, box.width, box.height);
    m_text1->setAlignment(factsAlignment(box.align));
    m_text1->setTextMargins(0, twips(box.marginTop), 0, 0);
    m_text1->setMaxLength(m_layout.answerLength);
    for (int n = 1; n <= 6; ++n)
        placeFactsLine(m_lines[static_cast<std::size_t>(n - 1)], m_layout.line(n));
    for (E e : {E::FactsSign, E::FactsSignFix}) {
        QLabel *l = m_labels[static_cast<std::size_t>(e)];
        l->setText(m_layout.sign);
        l->setFont(factsSignFont(e == E::FactsSign ? m_layout.signPointSize : m_layout.signFixPointSize));
    }

    showPage(Page::Answer);
    presentItem();
}

void DailyPractice::presentItem()
{
    m_item = m_session ? m_session->current() : std::nullopt;
    updateLeft();
    if (!m_item) {
        showEnd();
        return;
    }
    const PracticeItem &item = *m_item;
    hideModel();
    showFact(item);
    placeButtons(item.skippable);
    m_text1->clear();
    m_text1->show();
    m_text1->setEnabled(true);
    m_text1->setFocus();
    m_timing->factShown(item.fact, false);

    Speech &speech = m_app.speech();
    const bool peedy = m_app.settings().value(keys::PeedyEnabled);
    const bool voice = m_app.settings().value(keys::VoiceEnabled);
    QString heading;
    switch (item.step) {
    case PracticeStep::TypingCheck:
        heading = QStringLiteral("Type the number you see.");
        m_announcer->announce(QStringLiteral("Type %1").arg(item.fact.answer));
        break;
    case PracticeStep::Placement:
        heading = QStringLiteral("Answer the ones you know. Skip the ones you don't.");
        break;
    case PracticeStep::New:
        if (!m_modelled.contains(factKey(item.fact))) {
            // A new fact is shown with its answer the first time, read with it,
            // and asked at once: the child copies it and so meets it right.
            m_modelled << factKey(item.fact);
            heading = QStringLiteral("A new fact to learn:");
            showModel(item.fact, FactsInk);
            if (peedy)
                speech.PeedySays({}, correctionReading(item.fact));
            if (voice)
                speech.VoiceSays(correctionReading(item.fact));
            m_announcer->announce(QStringLiteral("New fact. ") + wrongAnnouncement(item.fact).mid(7));
            m_stepLabel->setText(heading);
            if (item.capMs > 0)
                m_cap.start(item.capMs);
            return;
        }
        break;
    case PracticeStep::Review:
    case PracticeStep::Retry:
        break;
    }
    m_stepLabel->setText(heading);
    if (item.step != PracticeStep::TypingCheck) {
        if (readFactAloud(speech, peedy, voice, item.fact))
            speech.whenSaid(m_timing->readingEnded());
        m_announcer->announce(factAnnouncement(item.fact));
    }
    if (item.capMs > 0)
        m_cap.start(item.capMs);
}

void DailyPractice::showFact(const PracticeItem &item)
{
    const auto l = [this](E e) { return m_labels[static_cast<std::size_t>(e)]; };
    const bool typing = item.step == PracticeStep::TypingCheck;
    // The number to copy stands alone where the right number of a fact does,
    // just before the box.
    l(E::FactsVariable)->setVisible(!typing);
    l(E::FactsSign)->setVisible(!typing && m_layout.at(E::FactsSign).visible);
    l(E::FactsEqual)->setVisible(!typing);
    m_lines[0]->setVisible(!typing && m_layout.line(1).visible);
    l(E::FactsVariable)->setText(QString::number(item.fact.left));
    l(E::FactsConstant)->setText(QString::number(typing ? item.fact.answer : item.fact.right));
    l(E::FactsConstant)->show();
}

void DailyPractice::placeButtons(bool skippable)
{
    // The check button stands where the drill's does, or beside Skip, the
    // two in the middle together.
    const Placement &check = m_layout.at(E::NextProbButt);
    constexpr int Gap = 150;
    constexpr int SkipWidth = 1100;
    const int left = skippable ? (AnswerWidth - check.width - Gap - SkipWidth) / 2 : check.left;
    placeTwips(m_checkButt, left, check.top, check.width, check.height);
    placeTwips(m_skipButt, left + check.width + Gap, check.top, SkipWidth, check.height);
    m_skipButt->setVisible(skippable);
}

void DailyPractice::showModel(const Fact &fact, QColor ink)
{
    const auto l = [this](E e) { return m_labels[static_cast<std::size_t>(e)]; };
    l(E::FactsVariableFix)->setText(QString::number(fact.left));
    l(E::FactsConstantFix)->setText(QString::number(fact.right));
    l(E::FactsAnsFix)->setText(QString::number(fact.answer));
    for (E e : CorrectionLabels)
        setInk(l(e), ink);
    m_lines[1]->setColor(ink);
    for (E e : m_layout.correctionLabels)
        l(e)->show();
    for (int n : m_layout.correctionLines)
        m_lines[static_cast<std::size_t>(n - 1)]->show();
}

void DailyPractice::hideModel()
{
    for (E e : CorrectionLabels)
        m_labels[static_cast<std::size_t>(e)]->hide();
    m_lines[1]->hide();
}

void DailyPractice::updateLeft()
{
    const int left = m_session ? m_session->left() : 0;
    m_labels[static_cast<std::size_t>(E::Label8)]->setText(QString::number(left));
    if (m_session) {
        m_summary = m_session->summary();
        const int done = m_summary.itemsDone;
        m_done = done + left > 0 ? static_cast<double>(done) / (done + left) : 1.0;
    }
    m_ring->update();
}

void DailyPractice::CheckButt_Click()
{
    if (m_page != Page::Answer || !m_item || isPausing())
        return;
    m_app.speech().QuietPeedyAtWord();
    const std::optional<int> given = answerValue(m_text1->text());
    if (!given) {
        m_text1->clear();
        m_app.speech().SayComment({}, QString::fromLatin1(PleaseTypeAnswerText));
        m_announcer->announce(QString::fromLatin1(PleaseTypeAnswerText));
        m_text1->setFocus();
        return;
    }
    finishAnswer(given, false);
}

void DailyPractice::SkipButt_Click()
{
    if (m_page != Page::Answer || !m_item || !m_item->skippable || isPausing())
        return;
    finishAnswer(std::nullopt, false);
}

void DailyPractice::finishAnswer(std::optional<int> given, bool timeUp)
{
    if (!m_item || !m_session)
        return;
    m_cap.stop();
    m_timing->pressed();
    const AnswerRecorder::Times times = m_timing->times();
    const PracticeItem item = *m_item;
    // A time ran out: the item took its whole time, whenever its paint came.
    const int ms = timeUp ? std::max(item.capMs, times.ms.value_or(0)) : times.ms.value_or(0);
    AnswerEntry entry = m_session->answer(given, ms, m_app.clock().now(), m_context);
    if (item.step != PracticeStep::TypingCheck)
        entry.msAfterReading = times.msAfterReading;
    const bool right = entry.correct;
    m_app.answerLog().append(std::move(entry));
    m_item.reset();
    m_text1->setEnabled(false);

    // The typing check and a placement only find out what the child knows:
    // no verdict, straight on. Elsewhere the drill's feedback.
    if (item.step == PracticeStep::TypingCheck || item.step == PracticeStep::Placement) {
        m_app.speech().DropWaitingSpeech();
        presentItem();
        return;
    }
    Random &random = m_app.random();
    const Settings &settings = m_app.settings();
    const bool peedyOn = settings.value(keys::PeedyEnabled) && settings.value(keys::PeedyFeedback);
    const bool voiceOn = settings.value(keys::VoiceEnabled) && settings.value(keys::VoiceFeedback);
    if (right) {
        hideModel();
        m_text1->hide();
        m_announcer->announce(QString::fromLatin1(RightAnnouncementText));
        speakFeedback(m_app.speech(), rightFeedback(random, peedyOn, voiceOn));
        m_pause.start(m_rightPause);
    } else {
        showModel(item.fact, FactsRedPen);
        m_announcer->announce(wrongAnnouncement(item.fact));
        speakFeedback(m_app.speech(), wrongFeedback(random, peedyOn, voiceOn, item.fact));
        m_pause.start(m_wrongPause);
    }
    updateLeft();
}

void DailyPractice::afterPause()
{
    presentItem();
}

void DailyPractice::showEnd()
{
    m_cap.stop();
    m_pause.stop();
    m_summary = m_session->summary();
    m_done = 1.0;
    m_mapData = {m_operation, m_summary.map, m_summary.newToday};
    m_endTitle->setText(QStringLiteral("Well done, %1! Here is your map of %2.")
                            .arg(firstName(m_app.state().StudentName), operationCaption(m_operation).toLower()));
    // The ring counts the days; a screen reader hears them from its name.
    m_endRing->setAccessibleName(m_summary.practiceDays == 1
                                     ? QStringLiteral("1 practice day")
                                     : QStringLiteral("%1 practice days").arg(m_summary.practiceDays));
    m_days->setText(m_summary.practiceDays == 1 ? QStringLiteral("Your first day of practice!")
                                                : QStringLiteral("Today's practice is done!"));
    QStringList fresh;
    // A fact is never broken over two lines.
    for (const Fact &fact : m_summary.newToday)
        fresh << practiceFactText(fact).replace(QLatin1Char(' '), QChar(0x00A0));
    if (m_session->isPlacement())
        m_newToday->setText(QStringLiteral("Now I know where to start. Tomorrow the new facts begin."));
    else if (fresh.isEmpty())
        m_newToday->setText(QStringLiteral("No new facts today: you practised the ones you are learning."));
    else
        m_newToday->setText(QStringLiteral("New today: %1").arg(fresh.join(QStringLiteral(", "))));
    QStringList families;
    for (int family : m_summary.familiesKnownToday)
        families << operationSign(m_operation) + QString::number(family);
    m_known->setText(families.isEmpty()
                         ? QString()
                         : QStringLiteral("You know all the %1 facts!").arg(families.join(QStringLiteral(", "))));
    m_printButt->setVisible(!families.isEmpty());
    showPage(Page::End);
    m_doneButt->setFocus();
    // An Enter hammered after the last answer must not close the page
    // before the child has seen it.
    StaleInputGuard::guard(*this, m_app.clock());
    m_app.speech().SayComment({}, QStringLiteral("Well done!"));
    m_announcer->announce(m_endTitle->text());
}

void DailyPractice::PrintButt_Click()
{
    if (m_summary.familiesKnownToday.isEmpty())
        return;
    m_app.speech().QuietPeedy();
    const QString student = m_app.state().StudentName;
    const QDate day = m_app.clock().now().date();
    const QList<int> families = m_summary.familiesKnownToday;
    const Operation operation = m_operation;
    const PrintOutcome outcome = m_app.printing().printPainted(
        QStringLiteral("Certificate %1").arg(fileNamePart(student)), [&](QPainter &painter, const QRectF &page) {
            paintCertificate(painter, page, student, operation, families, day);
        });
    if (!outcome.printed && !outcome.cancelled)
        m_app.tell(QStringLiteral("The certificate could not be printed: %1").arg(outcome.error),
                   QStringLiteral("Certificate Not Printed"), MsgIcon::Critical);
}

void DailyPractice::DoneButt_Click()
{
    close();
}

void DailyPractice::keyPressEvent(QKeyEvent *event)
{
    // Esc is the skip key where skipping is offered.
    if (event->key() == Qt::Key_Escape && m_page == Page::Answer && m_skipButt->isVisible()) {
        SkipButt_Click();
        event->accept();
        return;
    }
    FormWindow::keyPressEvent(event);
}

void DailyPractice::help_Click()
{
    m_app.showAssist(QStringLiteral("Daily Practice"),
                     QStringLiteral("Pick what to practise and press Start. Type each answer and press Enter. "
                                    "Press Esc or Skip when you do not know a fact. At the end you see your map: "
                                    "blue ticks are the facts you know."));
}

void DailyPractice::Quit_Click()
{
    m_app.quitFrom(*this, [this] { stopSession(); });
}

void DailyPractice::stopSession()
{
    // Every answer given is in the log already; an unfinished session leaves
    // nothing else to write.
    m_cap.stop();
    m_pause.stop();
    m_session.reset();
    m_item.reset();
}

void DailyPractice::closeEvent(QCloseEvent *event)
{
    stopSession();
    m_app.assistForm().hide();
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().StopPeedy();
    event->accept();
    MainMenu &menu = m_app.mainMenu();
    menu.show();
    menu.raise();
    menu.activateWindow();
}

} // namespace plovista
