// The parts loaded after the first paint: what the program asked of them
// before then is neither lost nor reordered, and parts that cannot load leave
// the program silent rather than stuck.

#include "platform/medialoader.h"
#include "support/corefakes.h"
#include "support/harness.h"

#include <QTest>
#include <QWidget>

using namespace plovista;
using namespace plovista::test;

namespace {

// Parts whose speakers are the test's own fakes, kept in sight of the test.
struct SeenParts
{
    FakeCharacter *character = nullptr;
    FakeVoice *voice = nullptr;
    int printings = 0;
    int begun = 0;
};

class FakeParts final : public MediaParts
{
public:
    explicit FakeParts(SeenParts &seen)
        : m_seen(seen)
    { }
    std::unique_ptr<Character> makeCharacter() override
    {
        auto character = std::make_unique<FakeCharacter>();
        m_seen.character = character.get();
        return character;
    }
    std::unique_ptr<Voice> makeVoice() override
    {
        auto voice = std::make_unique<FakeVoice>();
        m_seen.voice = voice.get();
        return voice;
    }
    std::unique_ptr<Sound> makeSound() override { return std::make_unique<FakeSound>(); }
    std::unique_ptr<Printing> makePrinting() override
    {
        ++m_seen.printings;
        return std::make_unique<FakePrinting>();
    }
    void beginSpeech() override { ++m_seen.begun; }

private:
    SeenParts &m_seen;
};

} // namespace

class TestMediaLoader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void requestsBeforeTheFirstPaintArePlayedInOrder()
    {
        SeenParts seen;
        MediaLoader media([&seen] { return std::make_unique<FakeParts>(seen); });
        auto character = media.character();
        auto voice = media.voice();
        media.loadAfterFirstPaint();
        character->load(QStringLiteral("Peedy"), QStringLiteral("peedy.svg"));
        character->moveTo(40, 150);
        character->show();
        character->speak(QStringLiteral("Hi"));
        voice->speak(QStringLiteral("Hello"));
        int quiet = 0;
        voice->whenQuiet([&] {
            ++quiet;
            voice->speak(QStringLiteral("Then this"));
        });
        QVERIFY(!media.loaded());
        QCOMPARE(seen.begun, 0);

        QWidget window;
        window.show();
        QTRY_VERIFY(media.loaded());
        QCOMPARE(seen.begun, 1);
        QCOMPARE(seen.character->loads, QStringList({"Peedy peedy.svg"}));
        QCOMPARE(seen.character->log, QStringList({"move 40,150", "show", "speak Hi"}));
        QCOMPARE(seen.voice->spoken, QStringList({"Hello"}));
        seen.voice->finishText();
        QCOMPARE(quiet, 1);
        QCOMPARE(seen.voice->spoken, QStringList({"Hello", "Then this"}));
        // Once loaded, requests go straight through.
        character->play(QStringLiteral("Greet"));
        QCOMPARE(seen.character->log.last(), QStringLiteral("play Greet"));
    }

    void printingLoadsThePartsOnTheSpot()
    {
        SeenParts seen;
        MediaLoader media([&seen] { return std::make_unique<FakeParts>(seen); });
        auto printing = media.printing();
        QCOMPARE(seen.printings, 0);
        const PrintOutcome outcome = printing->printImage(QImage(4, 4, QImage::Format_RGB32), QStringLiteral("Job"));
        QVERIFY(media.loaded());
        QCOMPARE(seen.printings, 1);
        QVERIFY(outcome.error.isEmpty());
    }

    void partsThatCannotLoadLeaveSpeechSilentAndPrintingRefused()
    {
        MediaLoader media([] { return std::unique_ptr<MediaParts>(); });
        auto voice = media.voice();
        auto character = media.character();
        voice->speak(QStringLiteral("Hello"));
        bool voiceQuiet = false, characterQuiet = false;
        voice->whenQuiet([&] { voiceQuiet = true; });
        character->whenQuiet([&] { characterQuiet = true; });
        media.load();
        QVERIFY(voiceQuiet);
        QVERIFY(characterQuiet);
        const PrintOutcome outcome = media.printing()->printImage(QImage(4, 4, QImage::Format_RGB32), {});
        QVERIFY(!outcome.printed);
        QVERIFY(outcome.error.contains(media.failure()));
        QVERIFY(!media.failure().isEmpty());
    }
};

QTEST_MAIN(TestMediaLoader)
#include "test_medialoader.moc"
