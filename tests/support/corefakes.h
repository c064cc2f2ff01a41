#pragma once

// Test doubles of the platform services that need Qt Core only. They record
// what the program asked of them and answer from a script.

#include "platform/character.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/messageboxes.h"
#include "platform/random.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/systeminfo.h"
#include "platform/voice.h"

#include <QDateTime>
#include <QStringList>
#include <chrono>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace plovista::test {

// Records every request as one line: "show", "hide", "move 40,150",
// "play Greet", "speak <text>", "stop", "drop waiting"; and each load of his
// drawing, which comes whenever he is first needed, apart ("Peedy <file>").
class FakeCharacter : public Character
{
public:
    bool load(const QString &id, const QString &filePath) override
    {
        loads << QStringLiteral("%1 %2").arg(id, filePath);
        return loadSucceeds;
    }
    void show() override { log << QStringLiteral("show"); }
    void hide() override { log << QStringLiteral("hide"); }
    void moveTo(int x, int y) override { log << QStringLiteral("move %1,%2").arg(x).arg(y); }
    void play(const QString &animation) override { log << QStringLiteral("play ") + animation; }
    void speak(const QString &text) override { log << QStringLiteral("speak ") + text; }
    void stopAll() override
    {
        log << QStringLiteral("stop");
        waiting.clear();
    }
    void stopAtWordEnd() override { log << QStringLiteral("stop at word end"); }
    void dropWaitingSpeech() override { log << QStringLiteral("drop waiting"); }
    // Everything asked is still being played until the test says it is over.
    void whenQuiet(std::function<void()> done) override { waiting.push_back(std::move(done)); }
    void finishSpeaking()
    {
        for (const auto &done : std::exchange(waiting, {}))
            done();
    }

    // Only the spoken texts, in order.
    QStringList spoken() const
    {
        QStringList texts;
        for (const QString &line : log)
            if (line.startsWith(QLatin1String("speak ")))
                texts << line.mid(6);
        return texts;
    }

    QStringList log;
    bool loadSucceeds = true;
    QStringList loads;
    std::vector<std::function<void()>> waiting;
};

// Records every text asked for in `spoken`. The texts are heard one at a
// time: the first of `queue` is being heard, from the moment it is first,
// until finishText() lets the next one begin.
class FakeVoice : public Voice
{
public:
    void speak(const QString &text) override
    {
        spoken << text;
        queue << text;
    }
    void stop() override
    {
        ++stops;
        queue.clear();
        waiting.clear();
    }
    void dropWaiting() override { queue = queue.mid(0, 1); }
    // Runs done when the last text of the queue is finished.
    void whenQuiet(std::function<void()> done) override
    {
        if (queue.isEmpty())
            done();
        else
            waiting.push_back(std::move(done));
    }
    void finishText()
    {
        if (!queue.isEmpty())
            queue.removeFirst();
        if (queue.isEmpty()) {
            for (const auto &done : std::exchange(waiting, {}))
                done();
        }
    }

    QStringList spoken;
    QStringList queue;
    int stops = 0;
    std::vector<std::function<void()>> waiting;
};

class FakeSound : public Sound
{
public:
    void play(const QString &wavPath) override { played << wavPath; }
    QStringList played;
};

// Answers boxes from a queue (OK when the queue is empty) and records each.
class FakeMessageBoxes : public MessageBoxes
{
public:
    struct Asked
    {
        QString text;
        QString title;
        MsgIcon icon;
        MsgButtons buttons;
        MsgAnswer defaultAnswer; // the button Enter would press
    };

    int ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
            MsgAnswer defaultAnswer) override
    {
        asked.push_back({text, title, icon, buttons, defaultAnswer});
        if (onAsk)
            onAsk(asked.back());
        if (answers.empty())
            return buttons == MsgButtons::YesNo ? MsgNo : MsgOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QStringList titles() const
    {
        QStringList list;
        for (const Asked &a : asked)
            list << a.title;
        return list;
    }

    std::vector<Asked> asked;
    std::deque<int> answers;
    // Runs while the box would be up, for checks of what happens meanwhile.
    std::function<void(const Asked &)> onAsk;
};

class FakeDisplay : public Display
{
public:
    std::optional<DisplayMode> current() override { return mode; }
    bool canSwitch() override { return switchable; }
    bool apply(DisplayMode m) override
    {
        applied.push_back(m);
        if (!mode || !switchable)
            return false;
        mode = m;
        return true;
    }

    std::optional<DisplayMode> mode = DisplayMode {1024, 768};
    // False for a desktop that keeps the mode to itself: mode is then the
    // size seen, if any.
    bool switchable = true;
    std::vector<DisplayMode> applied;
};

class FakeSystemInfo : public SystemInfo
{
public:
    std::optional<OsVersion> version() override { return os; }
    QString systemFolder() override { return folder; }
    QString computerName() override { return computer; }

    std::optional<OsVersion> os = OsVersion {false, 6, 1, 0};
    QString folder;
    QString computer = QStringLiteral("ROOM4-PC1");
};

// Both readings move together when the clock is advanced.
class FakeClock : public Clock
{
public:
    QDateTime now() override { return time; }
    std::chrono::microseconds monotonic() override { return elapsed; }
    void advanceSeconds(double s) { advanceMs(static_cast<qint64>(s * 1000.0)); }
    void advanceMs(qint64 ms)
    {
        time = time.addMSecs(ms);
        elapsed += std::chrono::milliseconds(ms);
    }

    QDateTime time = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0));
    std::chrono::microseconds elapsed {1'000'000};
};

// Plays back scripted draws; when the script runs out it repeats its last draw
// (or 0 when there was none). Counts the reseeds.
class FakeRandom : public Random
{
public:
    double next() override
    {
        if (!draws.empty()) {
            last = draws.front();
            draws.pop_front();
        }
        ++drawn;
        return last;
    }
    void reseed() override { ++reseeds; }

    std::deque<double> draws;
    double last = 0.0;
    int drawn = 0;
    int reseeds = 0;
};

class FakeShell : public Shell
{
public:
    bool open(const QString &url) override
    {
        opened << url;
        return true;
    }
    QStringList opened;
};

} // namespace plovista::test
