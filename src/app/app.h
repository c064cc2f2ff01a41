#pragma once

#include "app/appstate.h"
#include "app/ending.h"
#include "app/formwindow.h"
#include "app/startup.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "settings/settings.h"
#include "speech/speech.h"

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace plovista {

class AgentMissing;
class ChooseMenuMF;
class Facts10Menu;
class FactsProblems;
class RecordsForm;
class ScoreForm;
class AssistForm;
class Company;
class ContactForm;
class ControlPeedy;
class frmAbout;
class GetPassW;
class MainMenu;
class MessageForm;
class ScreenSize;
class Test;
class SaveRecordsForm;
class SavedRecordsForm;
class SubUtility;
class UtilityForm;
class VistaNotice;
class GetGreeting;
class AnswerLogWriter;
class ClassViewForm;
class FluencyForm;
class DailyPractice;
class PracticeSettingsForm;

// The hub: owns the program-wide state, the services and the windows. Windows
// are created on first use and afterwards only hidden and shown.
class App final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(App)
public:
    App(const QString &workingFolder, Services services);
    ~App() override;

    // The start-up: what the display, the system and Peedy's files are, the
    // settings read (their files made where missing), the start screen shown;
    // Peedy, the notices and the greeting follow once it is up.
    void start();
    // The working folder is a class folder an administrator set for a group
    // of users (the launcher says so): a box about it names the group. Set
    // before start.
    void setClassFolder(bool classFolder) { m_classFolder = classFolder; }

    AppState &state() { return m_state; }
    Settings &settings() { return m_settings; }
    StartupFacts &startup() { return m_startup; }
    QString workingFolder() const { return m_settings.workingFolder(); }
    Speech &speech() { return m_speech; }

    MessageBoxes &boxes() { return *m_services.boxes; }
    Character &character() { return *m_services.character; }
    Voice &voice() { return *m_services.voice; }
    Sound &sound() { return *m_services.sound; }
    Printing &printing() { return *m_services.printing; }
    Display &display() { return *m_services.display; }
    SystemInfo &systemInfo() { return *m_services.systemInfo; }
    Clock &clock() { return *m_services.clock; }
    Random &random() { return *m_services.random; }
    Shell &shell() { return *m_services.shell; }

    // Asks through the message-box service. With no default answer Enter
    // gives the first button's (Yes, OK, Retry).
    int ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
            std::optional<MsgAnswer> defaultAnswer = std::nullopt);
    void tell(const QString &text, const QString &title, MsgIcon icon = MsgIcon::None);

    // Writes a setting, memory and file; a failure is told to the user, and
    // the program goes on with the new value.
    template<typename T>
    bool writeSetting(const Setting<T> &key, std::type_identity_t<T> value)
    {
        return toldIfNotSaved(key.name(), m_settings.write(key, std::move(value)));
    }

    // The click of the teacher's settings windows, "Pop.wav" in the working
    // folder; nothing when it is missing.
    void playClick();

    // The directions window with a title and a text; placed clear of
    // `keepInSight` (screen coordinates) when that is given, for a text that
    // talks about what is there.
    void showAssist(const QString &title, const QString &text, const QRect &keepInSight = {});

    // The shared minimise and restore behaviour of the windows.
    void formMinimised(Audience audience);
    void formRestored(Audience audience);
    bool peedyBelongsOn(Audience audience) const;

    // The quit question every window but the start screen asks. On No the
    // window stays; on Yes beforeEnding runs (a window's last word, such as
    // the record of a drill left unfinished), the window goes and the
    // program quits (quitProgram) without asking again. Returns whether the
    // program is ending.
    bool quitFrom(QWidget &window, const std::function<void()> &beforeEnding = {});
    // The same with the window's own question and title (the speech and
    // greeting settings ask theirs).
    bool quitFrom(QWidget &window, const QString &question, const QString &title,
                  const std::function<void()> &beforeEnding = {});

    // A quit the user chose and confirmed: answers still waiting for the log
    // get a last try, what cannot be written is told, and the program ends.
    void quitProgram();
    // Records a drill left on screen, puts the display back as it was found
    // and ends the program at once. A forced ending opens no box and waits
    // on nothing for more than ForcedEndingWait.
    void endProgram(Ending ending = Ending::Confirmed);
    // The first step of ending: a drill on screen is recorded, once however
    // many ways the program is told to end. For an end that bypasses
    // endProgram (exit() called in a library) as well.
    void recordDrillOnScreen(Ending ending);
    // The display mode found at start, put back whatever ends the program.
    // A restore of it is made ready at once for restoreDisplayFromAnyThread.
    void setStartDisplayMode(DisplayMode mode);
    // Reads the display mode found at start, once: at start when the display
    // is switched then, else after the start screen's first paint, or when a
    // window that tells it opens first.
    void captureDisplayMode();
    // Puts the display back without the interface thread, which may be busy
    // or stuck: the last resort of a second termination signal. Safe from any
    // thread; false when nothing was put back.
    bool restoreDisplayFromAnyThread();
    // Tests replace what ending the program means.
    void setProgramEnder(std::function<void()> ender) { m_ender = std::move(ender); }

    // The character's data file in the program's system folder.
    QString characterFile() const;
    bool characterInstalled() const;

    Company &company();
    MainMenu &mainMenu();
    GetPassW &getPassW();
    AssistForm &assistForm();
    frmAbout &aboutBox();
    ScreenSize &screenSize();
    ContactForm &contactForm();
    VistaNotice &vistaNotice();
    AgentMissing &agentMissing();
    ChooseMenuMF &chooseMenuMF();
    Facts10Menu &facts10Menu();
    FactsProblems &factsProblems();
    ScoreForm &scoreForm();
    // The records viewer is the one window destroyed when it closes.
    RecordsForm &recordsForm();
    RecordsForm *existingRecordsForm() const { return m_recordsForm.get(); }
    void unloadRecordsForm();
    AgentMissing *existingAgentMissing() const { return m_agentMissing.get(); }
    ControlPeedy &controlPeedy();
    GetGreeting &getGreeting();
    Test &test();
    MessageForm &messageForm();
    // Daily Practice: the child's window, opened from the Main Menu, and the
    // teacher's settings of it, opened from the Utility Menu.
    DailyPractice &dailyPractice();
    PracticeSettingsForm &practiceSettingsForm();

    UtilityForm &utilityForm();
    SubUtility &subUtility();
    SavedRecordsForm &savedRecordsForm();
    SaveRecordsForm &saveRecordsForm();
    SaveRecordsForm *existingSaveRecordsForm() const { return m_saveRecordsForm.get(); }
    // Back to the teacher's Utility Menu from the windows it opened.
    void showUtilityMenu();

    // Every answer of every drill, kept in the folder "Log" of the working
    // folder; written on a thread of its own.
    AnswerLogWriter &answerLog();
    // The teacher's fluency grid. The Utility Menu opens it with
    // openFluencyGrid(*this): the menu hides until the grid is closed.
    FluencyForm &fluencyForm();
    void openFluencyGrid(QWidget &opener);
    // The class at a glance, opened from the grid.
    ClassViewForm &classViewForm();

private:
    bool toldIfNotSaved(QLatin1StringView name, const WriteResult &result);
    void finishStartup();
    void greet();

    AppState m_state;
    Settings m_settings;
    StartupFacts m_startup;
    Services m_services;
    Speech m_speech;
    std::function<void()> m_ender;
    bool m_started = false;
    bool m_displayCaptured = false;
    std::unique_ptr<QObject> m_displayCheck;
    bool m_classFolder = false;
    // The display mode found at start and a connection of its own to put it
    // back through, for a thread other than the interface thread.
    std::mutex m_lastResortGuard;
    std::unique_ptr<Display> m_lastResortDisplay;
    DisplayMode m_lastResortMode;

    std::unique_ptr<Company> m_company;
    std::unique_ptr<MainMenu> m_mainMenu;
    std::unique_ptr<GetPassW> m_getPassW;
    std::unique_ptr<AssistForm> m_assistForm;
    std::unique_ptr<frmAbout> m_about;
    std::unique_ptr<ScreenSize> m_screenSize;
    std::unique_ptr<ContactForm> m_contactForm;
    std::unique_ptr<VistaNotice> m_vistaNotice;
    std::unique_ptr<AgentMissing> m_agentMissing;
    std::unique_ptr<ChooseMenuMF> m_chooseMenuMF;
    std::unique_ptr<Facts10Menu> m_facts10Menu;
    std::unique_ptr<FactsProblems> m_factsProblems;
    std::unique_ptr<ScoreForm> m_scoreForm;
    std::unique_ptr<RecordsForm> m_recordsForm;
    std::unique_ptr<ControlPeedy> m_controlPeedy;
    std::unique_ptr<GetGreeting> m_getGreeting;
    std::unique_ptr<FluencyForm> m_fluencyForm;
    std::unique_ptr<ClassViewForm> m_classViewForm;
    std::unique_ptr<Test> m_test;
    std::unique_ptr<MessageForm> m_messageForm;
    std::unique_ptr<DailyPractice> m_dailyPractice;
    std::unique_ptr<PracticeSettingsForm> m_practiceSettingsForm;
    std::unique_ptr<UtilityForm> m_utilityForm;
    std::unique_ptr<SubUtility> m_subUtility;
    std::unique_ptr<SavedRecordsForm> m_savedRecordsForm;
    std::unique_ptr<SaveRecordsForm> m_saveRecordsForm;
    // The windows that hand it answers are reset before it. Ending the
    // program gives what is still waiting a last try (AnswerLogWriter::finish).
    std::unique_ptr<AnswerLogWriter> m_answerLog;
};

} // namespace plovista
