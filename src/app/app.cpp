#include "app/app.h"

#include "app/agentmissing.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/contactform.h"
#include "app/fontfamilies.h"
#include "app/frmabout.h"
#include "app/messageform.h"
#include "app/programstyle.h"
#include "app/screensize.h"
#include "app/vistanotice.h"
#include "app/workingfolder.h"
#include "drill/factsproblems.h"
#include "drill/scoreform.h"
#include "fluency/answerlogwriter.h"
#include "fluency/classviewform.h"
#include "fluency/fluencyform.h"
#include "platform/afterfirstpaint.h"
#include "platform/character.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/printing.h"
#include "platform/random.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/systeminfo.h"
#include "platform/voice.h"
#include "practice/dailypractice.h"
#include "records/recordsform.h"
#include "records/savedrecordsform.h"
#include "records/saverecordsform.h"
#include "selection/choosemenumf.h"
#include "selection/facts10menu.h"
#include "selection/mainmenu.h"
#include "settings/settingkeys.h"
#include "speech/controlpeedy.h"
#include "speech/getgreeting.h"
#include "speech/greeting.h"
#include "teacher/getpassw.h"
#include "teacher/practicesettingsform.h"
#include "teacher/subutility.h"
#include "teacher/test.h"
#include "teacher/utilityform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace plovista {

App::App(const QString &workingFolder, Services services)
    : m_settings(workingFolder)
    , m_services(std::move(services))
    , m_speech(m_settings, *m_services.character, *m_services.voice)
    , m_ender([] {
        // At once: a message box open in an event loop of its own would
        // otherwise return into the program as if answered, and an event loop
        // not yet begun would still begin.
        std::fflush(nullptr);
        std::_Exit(0);
    })
{
    // The program ends only through its own quit paths, which put the display
    // back; a student's window closed while the start screen is hidden is not
    // the end of the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // Should anything else end the event loop all the same, the display goes
    // back first.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { endProgram(Ending::Forced); });
    // Qt's own look, with images the start screen never shows read when first
    // drawn.
    QApplication::setStyle(new ProgramStyle);
    // The windows were designed around a narrow sans-serif face; Liberation
    // Sans has the same widths as the face they were drawn with.
    QFont font(QStringLiteral("Arial"), 9);
    font.setFamilies(installedFirst({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}));
    QApplication::setFont(font);
}

// Windows go before the services they use.
App::~App()
{
    m_classViewForm.reset();
    m_fluencyForm.reset();
    m_getGreeting.reset();
    m_controlPeedy.reset();
    m_messageForm.reset();
    m_practiceSettingsForm.reset();
    m_dailyPractice.reset();
    m_test.reset();
    m_saveRecordsForm.reset();
    m_savedRecordsForm.reset();
    m_subUtility.reset();
    m_utilityForm.reset();
    m_recordsForm.reset();
    m_scoreForm.reset();
    m_factsProblems.reset();
    m_facts10Menu.reset();
    m_chooseMenuMF.reset();
    m_agentMissing.reset();
    m_vistaNotice.reset();
    m_contactForm.reset();
    m_screenSize.reset();
    m_about.reset();
    m_assistForm.reset();
    m_getPassW.reset();
    m_mainMenu.reset();
    m_company.reset();
}

void App::start()
{
    if (m_started)
        return;
    m_started = true;

    // A folder this user cannot write would lose every drill's record; one
    // that cannot be opened leaves nowhere to work.
    const std::optional<FolderProblem> folderProblem = workingFolderProblem(workingFolder(), m_classFolder);
    const QString folderTitle = m_classFolder ? QStringLiteral("Class Folder") : QStringLiteral("Working Folder");
    if (folderProblem && !folderProblem->canRun) {
        tell(folderProblem->text, folderTitle, MsgIcon::Critical);
        endProgram();
        return;
    }

    const VersionClass version = classifyVersion(m_services.systemInfo->version());
    m_startup.windowsVersionCode = version.code;
    m_startup.xpStyle = version.xpStyle;
    m_startup.peedyMissing = !characterInstalled();

    const SettingsAtStart read = loadSettings(m_settings, m_startup.xpStyle);
    m_startup.baseGreeting = read.baseGreeting;
    m_state.SpokenName = read.spokenName;
    // Reading the display mode opens a connection of its own to the X
    // server: unless the display is switched now, that waits until the
    // screen is painted.
    // Where the desktop keeps the mode to itself the choice stands unused.
    if (m_settings.value(keys::DisplayChoice) == QLatin1String("Change") && m_services.display->canSwitch()) {
        captureDisplayMode();
        m_services.display->apply({800, 600});
    } else {
        m_displayCheck = afterFirstPaint([this] { captureDisplayMode(); });
    }

    company().showAtStart();
    // The settings it could not write are told with it, for the same reason.
    if (folderProblem)
        tell(folderProblem->text, folderTitle, MsgIcon::Critical);
    else if (!read.failures.isEmpty())
        tell(QStringLiteral("%1\n\nThe program goes on; settings that could not be saved have their default values "
                            "for this run.")
                 .arg(read.failures.join(QLatin1Char('\n'))),
             QStringLiteral("Settings Not Saved"), MsgIcon::Critical);

    // The character and the speech engine load after the screen is up, so
    // the student can start typing at once.
    QTimer::singleShot(0, this, &App::finishStartup);
}

// The display mode found at start, applied once more as it is; before
// anything could switch it.
void App::captureDisplayMode()
{
    if (m_displayCaptured)
        return;
    m_displayCaptured = true;
    if (const auto mode = m_services.display->current()) {
        setStartDisplayMode(*mode);
        if (m_services.display->canSwitch())
            m_services.display->apply(*mode);
    }
}

void App::finishStartup()
{
    if (!m_startup.peedyMissing)
        m_speech.setCharacterFile(QStringLiteral("Peedy"), characterFile());
    const bool peedy = m_settings.value(keys::PeedyEnabled);
    if (peedy && !m_startup.peedyMissing) {
        m_speech.PerchPeedy();
        m_speech.ShowPeedy();
    } else {
        m_speech.HidePeedy();
    }

    if (m_startup.peedyMissing) {
        // For this run only: once his files are back, he is the teacher's
        // choice again.
        m_settings.setForThisRun(keys::PeedyEnabled, false);
        company().setPerchVisible(false);
        company().setEnabled(false);
        agentMissing().open();
    }
    if (m_startup.windowsVersionCode == QLatin1String("VA") && m_settings.value(keys::VistaNotice)) {
        VistaNotice &notice = vistaNotice();
        notice.show();
        notice.raise();
        notice.activateWindow();
    }
    greet();
    // Left for after the screen is up: nothing on it needs these folders.
    sweepInterruptedWrites(m_settings);
}

void App::greet()
{
    if (!m_settings.value(keys::PeedyEnabled) || m_settings.value(keys::GreetingOff))
        return;
    random().reseed();
    const int row = greetingRowFor(random().next());
    const QString text = startupGreeting({m_settings.value(keys::GreetingMode), m_settings.value(keys::CustomGreeting),
                                          m_startup.baseGreeting, m_state.SpokenName},
                                         row);
    character().play(QStringLiteral("Greet"));
    if (!text.isEmpty())
        character().speak(text);
}

int App::ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
             std::optional<MsgAnswer> defaultAnswer)
{
    return m_services.boxes->ask(text, title, icon, buttons, defaultAnswer.value_or(firstAnswer(buttons)));
}

void App::tell(const QString &text, const QString &title, MsgIcon icon)
{
    ask(text, title, icon, MsgButtons::Ok);
}

bool App::toldIfNotSaved(QLatin1StringView name, const WriteResult &result)
{
    if (!result.ok)
        tell(QStringLiteral("The setting \"%1\" could not be saved: %2.\n\nThe program goes on with the new value "
                            "for now; it will be lost when the program ends.")
                 .arg(QString(name), result.error),
             QStringLiteral("Setting Not Saved"), MsgIcon::Critical);
    return result.ok;
}

void App::playClick()
{
    m_services.sound->play(QDir(workingFolder()).filePath(QStringLiteral("Pop.wav")));
}

void App::showAssist(const QString &title, const QString &text, const QRect &keepInSight)
{
    assistForm().showText(title, text, keepInSight);
}

bool App::peedyBelongsOn(Audience audience) const
{
    return m_settings.value(keys::PeedyEnabled) &&
        (audience == Audience::Student || m_settings.value(keys::PeedyTeacher));
}

void App::formMinimised(Audience audience)
{
    if (peedyBelongsOn(audience)) {
        m_speech.StopPeedy();
        m_speech.HidePeedy();
    }
    company().hide();
}

void App::formRestored(Audience audience)
{
    company().show();
    if (peedyBelongsOn(audience))
        m_speech.ShowPeedy();
}

bool App::quitFrom(QWidget &window, const std::function<void()> &beforeEnding)
{
    return quitFrom(window, QStringLiteral("Do you want to quit?"), QStringLiteral("Quit Program"), beforeEnding);
}

bool App::quitFrom(QWidget &window, const QString &question, const QString &title,
                   const std::function<void()> &beforeEnding)
{
    m_speech.QuietPeedy();
    if (ask(question, title, MsgIcon::Question, MsgButtons::YesNo) != MsgYes)
        return false;
    if (beforeEnding)
        beforeEnding();
    window.hide();
    quitProgram();
    return true;
}

void App::quitProgram()
{
    if (m_answerLog) {
        const QStringList lost = describeBacklog(m_answerLog->finish());
        if (!lost.isEmpty())
            tell(QStringLiteral("Please show this message to your teacher.\n\nSome answers could not be written to "
                                "the answer log, and are lost as the program ends:\n\n%1")
                     .arg(lost.join(u'\n')),
                 QStringLiteral("Answers Not Logged"), MsgIcon::Critical);
    }
    endProgram();
}

void App::recordDrillOnScreen(Ending ending)
{
    // The drill window's own Quit has already written it, and it is not
    // written twice.
    if (m_factsProblems)
        m_factsProblems->programEnding(ending);
}

void App::endProgram(Ending ending)
{
    recordDrillOnScreen(ending);
    if (m_startup.startDisplayMode.width > 0 && m_services.display->canSwitch())
        m_services.display->apply(m_startup.startDisplayMode);
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    // A class export under way is cancelled, so no half-written file is left.
    if (m_fluencyForm)
        m_fluencyForm->stopWork();
    if (m_classViewForm)
        m_classViewForm->stopWork();
    // The process ends at once; answers still on their way to the log are
    // written first, for a few seconds at most if the log's share hangs.
    if (m_answerLog)
        m_answerLog->finish(ending == Ending::Forced ? ForcedEndingWait : std::chrono::milliseconds(5000));
    m_ender();
}

void App::setStartDisplayMode(DisplayMode mode)
{
    m_startup.startDisplayMode = mode;
    // Opened here, while the interface thread is free to: by the time the
    // last resort is needed, that thread may be stuck.
    std::unique_ptr<Display> separate = m_services.display->openSeparately();
    const std::lock_guard lock(m_lastResortGuard);
    m_lastResortDisplay = std::move(separate);
    m_lastResortMode = mode;
}

bool App::restoreDisplayFromAnyThread()
{
    const std::lock_guard lock(m_lastResortGuard);
    return m_lastResortDisplay && m_lastResortMode.width > 0 && m_lastResortDisplay->apply(m_lastResortMode);
}

QString App::characterFile() const
{
    return m_services.systemInfo->systemFolder() + QStringLiteral("/Peedy.svg");
}

bool App::characterInstalled() const
{
    // The drawing and its animations come as a pair.
    const QString drawing = characterFile();
    QString animations = drawing;
    animations.replace(QStringLiteral(".svg"), QStringLiteral(".anim.json"));
    return QFileInfo::exists(drawing) && QFileInfo::exists(animations);
}

template<typename W>
static W &createOnce(std::unique_ptr<W> &slot, App &app)
{
    if (!slot)
        slot = std::make_unique<W>(app);
    return *slot;
}

Company &App::company()
{
    return createOnce(m_company, *this);
}
MainMenu &App::mainMenu()
{
    return createOnce(m_mainMenu, *this);
}
GetPassW &App::getPassW()
{
    return createOnce(m_getPassW, *this);
}
AssistForm &App::assistForm()
{
    return createOnce(m_assistForm, *this);
}
frmAbout &App::aboutBox()
{
    return createOnce(m_about, *this);
}
ScreenSize &App::screenSize()
{
    return createOnce(m_screenSize, *this);
}
ContactForm &App::contactForm()
{
    return createOnce(m_contactForm, *this);
}
VistaNotice &App::vistaNotice()
{
    return createOnce(m_vistaNotice, *this);
}
AgentMissing &App::agentMissing()
{
    return createOnce(m_agentMissing, *this);
}
ChooseMenuMF &App::chooseMenuMF()
{
    return createOnce(m_chooseMenuMF, *this);
}
Facts10Menu &App::facts10Menu()
{
    return createOnce(m_facts10Menu, *this);
}
FactsProblems &App::factsProblems()
{
    return createOnce(m_factsProblems, *this);
}
ScoreForm &App::scoreForm()
{
    return createOnce(m_scoreForm, *this);
}
RecordsForm &App::recordsForm()
{
    return createOnce(m_recordsForm, *this);
}

UtilityForm &App::utilityForm()
{
    return createOnce(m_utilityForm, *this);
}
SubUtility &App::subUtility()
{
    return createOnce(m_subUtility, *this);
}
SavedRecordsForm &App::savedRecordsForm()
{
    return createOnce(m_savedRecordsForm, *this);
}
SaveRecordsForm &App::saveRecordsForm()
{
    return createOnce(m_saveRecordsForm, *this);
}
ControlPeedy &App::controlPeedy()
{
    return createOnce(m_controlPeedy, *this);
}
GetGreeting &App::getGreeting()
{
    return createOnce(m_getGreeting, *this);
}
Test &App::test()
{
    return createOnce(m_test, *this);
}
MessageForm &App::messageForm()
{
    return createOnce(m_messageForm, *this);
}

DailyPractice &App::dailyPractice()
{
    return createOnce(m_dailyPractice, *this);
}

PracticeSettingsForm &App::practiceSettingsForm()
{
    return createOnce(m_practiceSettingsForm, *this);
}

AnswerLogWriter &App::answerLog()
{
    if (!m_answerLog)
        m_answerLog = std::make_unique<AnswerLogWriter>(QDir(workingFolder()).filePath(AnswerLogFolder));
    return *m_answerLog;
}

FluencyForm &App::fluencyForm()
{
    return createOnce(m_fluencyForm, *this);
}

ClassViewForm &App::classViewForm()
{
    return createOnce(m_classViewForm, *this);
}

void App::openFluencyGrid(QWidget &opener)
{
    fluencyForm().openFrom(opener);
}

void App::showUtilityMenu()
{
    utilityForm().showAgain();
}

void App::unloadRecordsForm()
{
    // Destroyed once the close event has finished with it.
    if (m_recordsForm)
        m_recordsForm.release()->deleteLater();
}

} // namespace plovista
