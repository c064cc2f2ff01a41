#include "teacher/practicesettingsform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "fluency/answerlog.h"
#include "practice/practicesession.h"
#include "selection/optionbutton.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace plovista {

namespace {

constexpr std::array Operations = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                   Operation::Division};

// A session by facts asks at least this many: fewer is not a day's practice.
constexpr int FewestFacts = 10;

QSpinBox *spinBox(QWidget *parent, const QString &name, const QString &caption, int low, int high)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setAccessibleName(caption);
    // The keyboard lands in the box's own line edit, which a screen reader
    // must hear by the same name.
    if (auto *edit = box->findChild<QLineEdit *>())
        edit->setAccessibleName(caption);
    return box;
}

} // namespace

PracticeSettingsForm::PracticeSettingsForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("PracticeSettingsForm"))
{
    setWindowTitle(QStringLiteral("Daily Practice Settings"));
    setClientSizeTwips(5400, 5220);

    m_enabled = checkBox(client(), QStringLiteral("PracticeOnCheck"), QStringLiteral("Offer Daily Practice"),
                         QStringLiteral(" the Main Menu shows Daily Practice to the students "));
    placeTwips(m_enabled, 360, 240, 4680, 360);
    connect(m_enabled, &QCheckBox::toggled, this, &PracticeSettingsForm::enableChoices);

    QLabel *offered =
        label(client(), QStringLiteral("OperationsLabel"), QStringLiteral("Operations on offer:"), 0, true);
    placeTwips(offered, 360, 780, 4680, 300);
    int top = 1120;
    for (std::size_t i = 0; i < Operations.size(); ++i) {
        const QString name = operationName(Operations[i]);
        m_operations[i] = checkBox(client(), QStringLiteral("Practice%1Check").arg(name), name);
        placeTwips(m_operations[i], 600 + static_cast<int>(i % 2) * 2280, top + static_cast<int>(i / 2) * 380, 2160,
                   360);
    }

    QLabel *length = label(client(), QStringLiteral("LengthLabel"), QStringLiteral("A session lasts:"), 0, true);
    placeTwips(length, 360, 2080, 4680, 300);
    m_byMinutes = new OptionButton(QStringLiteral("ByMinutesOpt"), QStringLiteral("Minutes"), client());
    placeTwips(m_byMinutes, 600, 2440, 1500, 360);
    m_minutes = spinBox(client(), QStringLiteral("MinutesSpin"), QStringLiteral("Minutes"), 2, 10);
    placeTwips(m_minutes, 2160, 2420, 900, 380);
    m_byFacts = new OptionButton(QStringLiteral("ByFactsOpt"), QStringLiteral("Facts"), client());
    placeTwips(m_byFacts, 600, 2900, 1500, 360);
    m_facts = spinBox(client(), QStringLiteral("FactsSpin"), QStringLiteral("Facts"), FewestFacts, 200);
    placeTwips(m_facts, 2160, 2880, 900, 380);
    connect(m_byMinutes, &OptionButton::toggled, this, &PracticeSettingsForm::enableChoices);

    QLabel *note = label(client(), QStringLiteral("LimitNote"),
                         QStringLiteral("No session runs longer than 10 minutes, whatever the number of facts."));
    note->setWordWrap(true);
    placeTwips(note, 360, 3420, 4680, 600);

    m_ok = button(client(), QStringLiteral("OKButt"), QStringLiteral("OK"));
    placeTwips(m_ok, 1200, 4380, 1215, 420);
    connect(m_ok, &QPushButton::clicked, this, &PracticeSettingsForm::OKButt_Click);
    setDefaultButton(m_ok);
    m_cancel = button(client(), QStringLiteral("CancelButt"), QStringLiteral("Cancel"));
    placeTwips(m_cancel, 2880, 4380, 1215, 420);
    connect(m_cancel, &QPushButton::clicked, this, &PracticeSettingsForm::CancelButt_Click);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &PracticeSettingsForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &PracticeSettingsForm::Quit_Click);
}

void PracticeSettingsForm::openFrom(QWidget &opener)
{
    const Settings &settings = m_app.settings();
    m_enabled->setChecked(settings.value(keys::PracticeEnabled));
    const QList<Operation> offered = practiceOperations(settings);
    for (std::size_t i = 0; i < Operations.size(); ++i)
        m_operations[i]->setChecked(offered.contains(Operations[i]));
    const PracticeOptions options = practiceOptions(settings);
    m_minutes->setValue(options.minutes);
    m_facts->setValue(options.facts > 0 ? options.facts : 40);
    (options.facts > 0 ? m_byFacts : m_byMinutes)->setChecked(true);
    enableChoices();
    m_app.assistForm().hide();
    opener.hide();
    show();
    raise();
    activateWindow();
    m_enabled->setFocus();
}

void PracticeSettingsForm::enableChoices()
{
    const bool on = m_enabled->isChecked();
    for (QCheckBox *box : m_operations)
        box->setEnabled(on);
    m_byMinutes->setEnabled(on);
    m_byFacts->setEnabled(on);
    m_minutes->setEnabled(on && m_byMinutes->isChecked());
    m_facts->setEnabled(on && m_byFacts->isChecked());
}

void PracticeSettingsForm::OKButt_Click()
{
    QStringList names;
    for (std::size_t i = 0; i < Operations.size(); ++i)
        if (m_operations[i]->isChecked())
            names << operationName(Operations[i]);
    const bool on = m_enabled->isChecked();
    if (on && names.isEmpty()) {
        m_app.tell(QStringLiteral("Choose at least one operation to offer, or turn Daily Practice off."),
                   QStringLiteral("Daily Practice"), MsgIcon::Information);
        m_operations[0]->setFocus();
        return;
    }
    m_app.playClick();
    // Turned off, the class keeps the operations chosen for when it comes back.
    if (!names.isEmpty())
        m_app.writeSetting(keys::PracticeOperations, names.join(QLatin1Char(';')));
    m_app.writeSetting(keys::PracticeLength, m_minutes->value());
    m_app.writeSetting(keys::PracticeFacts, m_byFacts->isChecked() ? m_facts->value() : 0);
    m_app.writeSetting(keys::PracticeEnabled, on);
    close();
}

void PracticeSettingsForm::CancelButt_Click()
{
    close();
}

void PracticeSettingsForm::help_Click()
{
    m_app.showAssist(QStringLiteral("Daily Practice Settings"),
                     QStringLiteral("Daily Practice gives each student a short session chosen from their own "
                                    "answers: a placement the first time, then the facts due again and a few new "
                                    "ones. Choose the operations on offer and how long a session lasts, in minutes "
                                    "or in facts."));
}

void PracticeSettingsForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void PracticeSettingsForm::closeEvent(QCloseEvent *event)
{
    m_app.assistForm().hide();
    event->accept();
    m_app.showUtilityMenu();
}

} // namespace plovista
