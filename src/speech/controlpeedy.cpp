#include "speech/controlpeedy.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "platform/systeminfo.h"
#include "settings/settingkeys.h"
#include "speech/getgreeting.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace plovista {

namespace {

QString lines(std::initializer_list<const char *> parts)
{
    QStringList list;
    for (const char *p : parts)
        list << QString::fromUtf8(p);
    return list.join(QLatin1Char('\n'));
}

} // namespace

ControlPeedy::ControlPeedy(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("ControlPeedy"))
{
    setWindowTitle(QStringLiteral("Control Speech"));
    setClientSizeTwips(4800, 3360);

    constexpr int peedyLeft = 360;
    constexpr int voiceLeft = 2760;
    auto box = [this](const QString &name, const QString &caption, const QString &tip, int left, int top) {
        QCheckBox *b = checkBox(client(), name, caption, tip);
        placeTwips(b, left, top, 1900);
        return b;
    };
    auto groupLabel = [this](const QString &name, const QString &caption, const QString &tip, int left) {
        QLabel *l = label(client(), name, caption, 10, true);
        l->setToolTip(tip);
        placeTwips(l, left, 150);
    };
    groupLabel(QStringLiteral("Label1"), QStringLiteral("Peedy:"), QStringLiteral(" Microsoft Agent character Peedy "),
               peedyLeft - 120);
    m_studentEnabledBox = box(QStringLiteral("StudentEnabledBox"), QStringLiteral("Enabled"),
                              QStringLiteral("  reads math facts "), peedyLeft, 480);
    m_peedyFeedbackBox = box(QStringLiteral("PeedyFeedbackBox"), QStringLiteral("Feedback"),
                             QStringLiteral(" gives feedback after each fact "), peedyLeft, 840);
    m_peedyCommentsBox = box(QStringLiteral("PeedyCommentsBox"), QStringLiteral("Comments"),
                             QStringLiteral(" makes helpful comments "), peedyLeft, 1200);
    m_peedyRewardsBox = box(QStringLiteral("PeedyRewardsBox"), QStringLiteral("Rewards"),
                            QStringLiteral(" gives feedback after exercise completion "), peedyLeft, 1560);
    m_peedyGreetingBox = box(QStringLiteral("PeedyGreetingBox"), QStringLiteral("Greeting"),
                             QStringLiteral(" change Peedy's opening greeting and user name "), peedyLeft, 1920);
    m_teacherEnabledBox =
        box(QStringLiteral("TeacherEnabledBox"), QStringLiteral("Teacher"),
            QStringLiteral(" Peedy is visible while teacher is changing settings  "), peedyLeft, 2280);
    m_peedyPerch = box(QStringLiteral("PeedyPerch"), QStringLiteral("Perch"), QStringLiteral(" adjust perch for XP "),
                       peedyLeft, 2640);

    groupLabel(QStringLiteral("Label2"), QStringLiteral("Voice:"), QStringLiteral(" Microsoft text-to-speech voice "),
               voiceLeft - 120);
    m_voiceEnabledBox = box(QStringLiteral("VoiceEnabledBox"), QStringLiteral("Enabled"),
                            QStringLiteral(" reads math facts "), voiceLeft, 480);
    m_voiceFeedbackBox = box(QStringLiteral("VoiceFeedbackBox"), QStringLiteral("Feedback"),
                             QStringLiteral("  gives feedback after each fact "), voiceLeft, 840);
    m_voiceCommentsBox = box(QStringLiteral("VoiceCommentsBox"), QStringLiteral("Comments"),
                             QStringLiteral(" makes helpful comments "), voiceLeft, 1200);
    m_voiceRewardsBox = box(QStringLiteral("VoiceRewardsBox"), QStringLiteral("Rewards"),
                            QStringLiteral(" gives feedback after exercise completion "), voiceLeft, 1560);
    // The two "Enabled" boxes read alike; a screen reader tells them apart by
    // their group.
    m_studentEnabledBox->setAccessibleDescription(QStringLiteral("Peedy reads math facts"));
    m_voiceEnabledBox->setAccessibleDescription(QStringLiteral("The voice reads math facts"));

    // Only the teacher's clicks run the rules: a rule's change to the other
    // "Enabled" box must not run that box's own rule.
    connect(m_studentEnabledBox, &QCheckBox::clicked, this, &ControlPeedy::StudentEnabledBox_Click);
    connect(m_voiceEnabledBox, &QCheckBox::clicked, this, &ControlPeedy::VoiceEnabledBox_Click);
    connect(m_peedyGreetingBox, &QCheckBox::clicked, this, &ControlPeedy::PeedyGreetingBox_Click);

    m_acceptButt = new QPushButton(QStringLiteral("Accept"), client());
    m_acceptButt->setObjectName(QStringLiteral("AcceptButt"));
    m_acceptButt->setToolTip(QStringLiteral(" press to accept changes "));
    placeTwips(m_acceptButt, voiceLeft, 2520, 1215, 420);
    connect(m_acceptButt, &QPushButton::clicked, this, &ControlPeedy::AcceptButt_Click);
    setDefaultButton(m_acceptButt);

    buildMenuBar();
}

void ControlPeedy::buildMenuBar()
{
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &ControlPeedy::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("&Quit"));
    connect(quit, &QAction::triggered, this, &ControlPeedy::Quit_Click);
}

void ControlPeedy::readBox(const Setting<bool> &key, QCheckBox *box)
{
    if (const std::optional<bool> on = m_app.settings().reread(key))
        box->setChecked(*on);
}

void ControlPeedy::openFromUtilityMenu()
{
    m_app.assistForm().hide();
    setWindowTitle(QStringLiteral("Control Speech"));
    readBox(keys::PeedyTeacher, m_teacherEnabledBox);
    readBox(keys::PeedyFeedback, m_peedyFeedbackBox);
    readBox(keys::PeedyComments, m_peedyCommentsBox);
    readBox(keys::PeedyRewards, m_peedyRewardsBox);
    readBox(keys::VoiceFeedback, m_voiceFeedbackBox);
    readBox(keys::VoiceComments, m_voiceCommentsBox);
    readBox(keys::VoiceRewards, m_voiceRewardsBox);

    const bool xpStyle = m_app.startup().xpStyle;
    m_peedyPerch->setVisible(xpStyle);
    if (xpStyle)
        m_peedyPerch->setToolTip(QStringLiteral(" Adjust for XP or Standard display style. "));

    // Peedy's box shows whether he is the channel now. A check left from a
    // visit that was not saved would otherwise stand beside the voice's, and
    // Accept would make Peedy the channel without the teacher seeing it.
    const bool peedy = m_app.settings().value(keys::PeedyEnabled);
    m_studentEnabledBox->setChecked(peedy);
    m_studentEnabledBox->setEnabled(true);
    setPeedyGroupEnabled(peedy);

    readBox(keys::VoiceEnabled, m_voiceEnabledBox);
    setVoiceGroupEnabled(m_voiceEnabledBox->isChecked());

    show();
    raise();
    activateWindow();
}

void ControlPeedy::returnFromGreeting()
{
    m_peedyGreetingBox->setChecked(false);
    show();
    raise();
    activateWindow();
}

void ControlPeedy::setPeedyGroupEnabled(bool enabled)
{
    for (QCheckBox *b : {m_teacherEnabledBox, m_peedyFeedbackBox, m_peedyCommentsBox, m_peedyRewardsBox,
                         m_peedyGreetingBox, m_peedyPerch})
        b->setEnabled(enabled);
}

void ControlPeedy::setVoiceGroupEnabled(bool enabled)
{
    for (QCheckBox *b : {m_voiceFeedbackBox, m_voiceCommentsBox, m_voiceRewardsBox})
        b->setEnabled(enabled);
}

void ControlPeedy::StudentEnabledBox_Click()
{
    if (!m_studentEnabledBox->isChecked()) {
        setPeedyGroupEnabled(false);
        return;
    }
    if (m_app.startup().peedyMissing) {
        // The box stays checked; Accept turns it into the voice.
        offerAgentDownload();
        return;
    }
    setPeedyGroupEnabled(true);
    m_voiceEnabledBox->setEnabled(true);
    m_voiceEnabledBox->setChecked(false);
    setVoiceGroupEnabled(false);
}

void ControlPeedy::VoiceEnabledBox_Click()
{
    if (m_voiceEnabledBox->isChecked()) {
        m_studentEnabledBox->setChecked(false);
        m_studentEnabledBox->setEnabled(true);
        setPeedyGroupEnabled(false);
        setVoiceGroupEnabled(true);
        return;
    }
    setVoiceGroupEnabled(false);
    m_studentEnabledBox->setEnabled(true);
}

void ControlPeedy::PeedyGreetingBox_Click()
{
    if (m_peedyGreetingBox->isChecked())
        m_acceptButt->click();
}

void ControlPeedy::offerAgentDownload()
{
    const int answer = m_app.ask(QStringLiteral("Your computer is missing Peedy's files.\n\nDo you want to restore the "
                                                "necessary files to enable this program feature?"),
                                 QStringLiteral("Restore Peedy's Files?"), MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgYes)
        m_app.tell(QStringLiteral("Peedy's files are installed with the program, so there is nothing to download.  "
                                  "They belong in  %1   Reinstalling the package  plovista  with the package manager "
                                  "puts them back, for example with  sudo apt install --reinstall plovista\n\nUntil "
                                  "then the program can speak only with the voice.")
                       .arg(m_app.systemInfo().systemFolder()),
                   QStringLiteral("Peedy's Files"), MsgIcon::Information);
}

SpeechBoxes ControlPeedy::boxes() const
{
    SpeechBoxes b;
    b.peedy = m_studentEnabledBox->isChecked();
    b.voice = m_voiceEnabledBox->isChecked();
    b.teacher = m_teacherEnabledBox->isChecked();
    b.peedyFeedback = m_peedyFeedbackBox->isChecked();
    b.peedyComments = m_peedyCommentsBox->isChecked();
    b.peedyRewards = m_peedyRewardsBox->isChecked();
    b.voiceFeedback = m_voiceFeedbackBox->isChecked();
    b.voiceComments = m_voiceCommentsBox->isChecked();
    b.voiceRewards = m_voiceRewardsBox->isChecked();
    return b;
}

void ControlPeedy::AcceptButt_Click()
{
    m_app.assistForm().hide();
    if (m_app.startup().peedyMissing) {
        // Without his files Peedy cannot be the channel, whatever was checked.
        m_studentEnabledBox->setChecked(false);
        StudentEnabledBox_Click();
        m_voiceEnabledBox->setChecked(true);
        VoiceEnabledBox_Click();
    }
    if (m_peedyPerch->isChecked())
        perchPath();
    else if (m_peedyGreetingBox->isChecked())
        greetingPath();
    else
        savingPath();
}

void ControlPeedy::perchPath()
{
    m_app.speech().QuietPeedy();
    const bool standard = m_app.ask(QStringLiteral("Are you using  Windows Standard or Classic Style  display?"),
                                    QStringLiteral("Adjust Perch"), MsgIcon::Question, MsgButtons::YesNo) == MsgYes;
    // The start screen moves the perch drawing under him as the style changes.
    m_app.writeSetting(keys::PerchStyle, standard ? QStringLiteral("Standard") : QStringLiteral("XP"));
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();
    m_peedyPerch->setChecked(false);
    backToUtilityMenu();
}

void ControlPeedy::greetingPath()
{
    // The previews need Peedy in sight, whether or not he stays with the
    // teacher otherwise.
    if (m_app.settings().value(keys::PeedyEnabled)) {
        m_app.speech().PerchPeedy();
        m_app.speech().ShowPeedy();
        m_app.company().setPerchVisible(true);
    }
    m_app.getGreeting().openFromSpeechSettings();
}

void ControlPeedy::savingPath()
{
    Settings &settings = m_app.settings();
    Speech &speech = m_app.speech();
    const bool peedyWasTheChannel = settings.value(keys::PeedyEnabled);
    const QStringList failures = settings.writeAll(speechChoiceWrites(boxes()));

    if (settings.value(keys::PeedyEnabled)) {
        const bool stays = settings.value(keys::PeedyTeacher);
        if (stays) {
            speech.PerchPeedy();
            speech.ShowPeedy();
        } else {
            speech.HidePeedy();
        }
        m_app.company().setPerchVisible(stays);
    } else if (peedyWasTheChannel) {
        speech.PeedySays({}, QStringLiteral("See you later!"));
        speech.HidePeedy();
        m_app.company().setPerchVisible(false);
    }

    m_app.playClick();
    const SavedNotice notice = savedNotice(failures, QStringLiteral("Changes, if any, have been recorded."),
                                           QStringLiteral("Peedy Changes Recorded"));
    m_app.tell(notice.text, notice.title, notice.failed ? MsgIcon::Critical : MsgIcon::None);
    backToUtilityMenu();
}

void ControlPeedy::backToUtilityMenu()
{
    hide();
    m_app.showUtilityMenu();
}

void ControlPeedy::help_Click()
{
    const bool xp = m_app.startup().xpStyle;
    QStringList text {
        lines({"PEEDY (Microsoft Agent)", "Enabled:  Is active and reads each math fact.",
               "Feedback:  Gives feedback after each math fact.", "Comments:  Makes additional performance comments.",
               "Rewards:  Gives performance feedback upon activity completion.",
               "Greeting:  Program Peedy to speak a custom greeting.",
               "Teacher:  Is present while teacher is programming."})};
    if (xp)
        text << QStringLiteral("Perch:  Adjust Peedy's perch for Windows XP or Standard display.");
    text << QString() << QStringLiteral("VOICE (Microsoft Voice)")
         << lines({"Enabled:  Is active and reads each math fact.", "Feedback:  Gives feedback after each math fact."})
         << (xp ? QStringLiteral("Comments:  Makes additional performance comments.")
                : QStringLiteral("Comments:  Makes additional comments."))
         << QStringLiteral("Rewards:  Gives performance feedback upon activity completion.") << QString()
         << QStringLiteral("Check the desired boxes and press the Accept button.");
    m_app.showAssist(QStringLiteral("Control Speech"), text.join(QLatin1Char('\n')));
}

void ControlPeedy::Quit_Click()
{
    m_app.assistForm().hide();
    m_app.quitFrom(*this, QStringLiteral("Do you really want to quit?"), QStringLiteral("Quit"));
}

void ControlPeedy::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_peedyGreetingBox->setChecked(false);
    m_app.showUtilityMenu();
}

} // namespace plovista
