#include "platform/plainvoice.h"
#include "platform/parrotcharacter.h"
#include "platform/speechengine.h"
#include "speech/speechmarkup.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <optional>

using namespace plovista;

namespace {

// Generous: these waits only keep a broken build from hanging the run.
constexpr int WaitMs = 60000;

QByteArrayList spokenPhonemes(const SynthesizedSpeech &speech)
{
    QByteArrayList phonemes;
    for (const SpeechMark &mark : speech.marks) {
        if (mark.kind == SpeechMark::Kind::Phoneme && !mark.phoneme.startsWith('_'))
            phonemes.append(mark.phoneme);
    }
    return phonemes;
}

QList<int> wordStarts(const SynthesizedSpeech &speech)
{
    QList<int> starts;
    for (const SpeechMark &mark : speech.marks) {
        if (mark.kind == SpeechMark::Kind::Word)
            starts.append(mark.audioMs);
    }
    return starts;
}

// Median fundamental frequency of the voiced stretches, by autocorrelation.
double medianPitchHz(const SynthesizedSpeech &speech)
{
    const auto *samples = reinterpret_cast<const qint16 *>(speech.pcm.constData());
    const qsizetype count = speech.pcm.size() / 2;
    const int frame = speech.sampleRate / 25;
    const int minLag = speech.sampleRate / 500;
    const int maxLag = speech.sampleRate / 60;
    QList<double> pitches;
    for (qsizetype start = 0; start + frame + maxLag < count; start += frame / 2) {
        double energy = 0;
        for (int i = 0; i < frame; ++i)
            energy += double(samples[start + i]) * samples[start + i];
        if (energy / frame < 1e5)
            continue; // silence or a whisper of a consonant
        int bestLag = 0;
        double best = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double sum = 0;
            for (int i = 0; i < frame; ++i)
                sum += double(samples[start + i]) * samples[start + i + lag];
            if (sum > best) {
                best = sum;
                bestLag = lag;
            }
        }
        if (bestLag > 0 && best > 0.5 * energy)
            pitches.append(double(speech.sampleRate) / bestLag);
    }
    if (pitches.isEmpty())
        return 0;
    std::sort(pitches.begin(), pitches.end());
    return pitches.at(pitches.size() / 2);
}

} // namespace

class TestVoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void synthesisesWithWordAndPhonemeMarks();
    void marksAreNeverReadAloud_data();
    void marksAreNeverReadAloud();
    void stressLengthensTheWord();
    void longerCommaRunsPauseLonger();
    void peedysVoiceIsHigherAndQuickerAndDoesNotCarryOver();
    void cancelDropsEveryEarlierRequestOfTheChannelOnly();
    void voiceNeverHangsWithoutAnAudioDevice();
    void stopSilencesTheVoiceAndDropsWhatWaits();
    void droppingWaitingTextsDropsEveryTextNotYetHeard();

private:
    std::optional<SynthesizedSpeech> synthesize(const QString &markedText,
                                                const SpeechVoice &voice = PlainVoice::plainVoice());

    SpeechEngine m_engine;
    int m_channel = m_engine.openChannel();
};

std::optional<SynthesizedSpeech> TestVoice::synthesize(const QString &markedText, const SpeechVoice &voice)
{
    const quint64 serial = m_engine.synthesize(m_channel, voice, speechMarkupToSsml(markedText));
    std::optional<SynthesizedSpeech> result;
    const QMetaObject::Connection connection =
        connect(&m_engine, &SpeechEngine::synthesized, this, [&](const SynthesizedSpeech &speech) {
            if (speech.serial == serial)
                result = speech;
        });
    (void)QTest::qWaitFor([&] { return result.has_value(); }, WaitMs); // the caller checks the result
    disconnect(connection);
    return result;
}

void TestVoice::synthesisesWithWordAndPhonemeMarks()
{
    const auto speech = synthesize(QStringLiteral("We are ~so happy to see you."));
    QVERIFY(speech);
    QCOMPARE(speech->channel, m_channel);
    QVERIFY(speech->sampleRate > 0);
    QVERIFY(speech->durationMs() > 500);
    QCOMPARE(wordStarts(*speech).size(), 7);
    QVERIFY(spokenPhonemes(*speech).size() > 10);
    // Marks come in the order they are heard.
    int previous = 0;
    for (const SpeechMark &mark : speech->marks) {
        QVERIFY(mark.audioMs >= previous);
        previous = mark.audioMs;
    }
    QVERIFY(previous <= speech->durationMs());
}

void TestVoice::marksAreNeverReadAloud_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<QString>("plain");
    QTest::newRow("stress") << "I am ~so happy"
                            << "I am so happy";
    QTest::newRow("stressed syllable") << "Buenos No~chezz"
                                       << "Buenos No chezz";
    QTest::newRow("exclamation then comma") << "I am ~so happy!,Ann?"
                                            << "I am so happy! Ann?";
    QTest::newRow("empty name") << "Hi! How are ~you?,?"
                                << "Hi! How are you?";
    QTest::newRow("period comma question") << "work with you.,?"
                                           << "work with you.";
    QTest::newRow("comma run") << "one,,,,two"
                               << "one, two";
}

// The engine reads "~" as "tilde" and "!," as "exclamation"; what is said
// must be the words alone.
void TestVoice::marksAreNeverReadAloud()
{
    QFETCH(QString, marked);
    QFETCH(QString, plain);
    const auto markedSpeech = synthesize(marked);
    const auto plainSpeech = synthesize(plain);
    QVERIFY(markedSpeech && plainSpeech);
    QCOMPARE(spokenPhonemes(*markedSpeech).join(' '), spokenPhonemes(*plainSpeech).join(' '));
}

void TestVoice::stressLengthensTheWord()
{
    const auto plain = synthesize(QStringLiteral("We are so happy"));
    const auto stressed = synthesize(QStringLiteral("We are ~so happy"));
    QVERIFY(plain && stressed);
    const QList<int> plainWords = wordStarts(*plain);
    const QList<int> stressedWords = wordStarts(*stressed);
    QCOMPARE(plainWords.size(), 4);
    QCOMPARE(stressedWords.size(), 4);
    // "so" lasts from its start to the start of "happy".
    QVERIFY2(stressedWords[3] - stressedWords[2] > plainWords[3] - plainWords[2],
             qPrintable(QStringLiteral("%1 ms against %2 ms")
                            .arg(stressedWords[3] - stressedWords[2])
                            .arg(plainWords[3] - plainWords[2])));
}

void TestVoice::longerCommaRunsPauseLonger()
{
    qint64 previous = 0;
    for (const QString &text : {QStringLiteral("one two"), QStringLiteral("one,two"), QStringLiteral("one,,two"),
                                QStringLiteral("one,,,two"), QStringLiteral("one,,,,,two")}) {
        const auto speech = synthesize(text);
        QVERIFY(speech);
        const QList<int> words = wordStarts(*speech);
        QCOMPARE(words.size(), 2);
        const qint64 gap = words[1] - words[0];
        QVERIFY2(gap > previous, qPrintable(text));
        previous = gap;
    }
}

void TestVoice::peedysVoiceIsHigherAndQuickerAndDoesNotCarryOver()
{
    const QString text = QStringLiteral("Hello. I am so happy to work with you.");
    const auto plainBefore = synthesize(text);
    const auto parrot = synthesize(text, ParrotCharacter::parrotVoice());
    const auto plainAfter = synthesize(text);
    QVERIFY(plainBefore && parrot && plainAfter);
    QVERIFY(parrot->durationMs() < plainBefore->durationMs());
    const double plainPitch = medianPitchHz(*plainBefore);
    const double parrotPitch = medianPitchHz(*parrot);
    QVERIFY2(plainPitch > 0 && parrotPitch > 1.5 * plainPitch,
             qPrintable(QStringLiteral("%1 Hz against %2 Hz").arg(parrotPitch).arg(plainPitch)));
    // Every text sets all of its voice: nothing of Peedy's stays behind.
    // (The engine's output varies by a few samples from text to text.)
    QVERIFY(qAbs(plainAfter->durationMs() - plainBefore->durationMs()) < plainBefore->durationMs() / 20);
    QVERIFY(qAbs(medianPitchHz(*plainAfter) - plainPitch) < plainPitch / 10);
}

void TestVoice::cancelDropsEveryEarlierRequestOfTheChannelOnly()
{
    const int other = m_engine.openChannel();
    QList<quint64> delivered;
    QObject listener; // ends the connection with this test
    connect(&m_engine, &SpeechEngine::synthesized, &listener,
            [&](const SynthesizedSpeech &speech) { delivered.append(speech.serial); });

    const QString longText =
        QStringLiteral("This is a long text that keeps the engine busy for a while. ").repeated(40);
    const quint64 first = m_engine.synthesize(m_channel, PlainVoice::plainVoice(), longText);
    const quint64 second = m_engine.synthesize(m_channel, PlainVoice::plainVoice(), QStringLiteral("second"));
    const quint64 otherSpeaker = m_engine.synthesize(other, PlainVoice::plainVoice(), QStringLiteral("other"));
    m_engine.cancel(m_channel);
    const quint64 after = m_engine.synthesize(m_channel, PlainVoice::plainVoice(), QStringLiteral("after"));

    QVERIFY(QTest::qWaitFor([&] { return delivered.contains(after) && delivered.contains(otherSpeaker); }, WaitMs));
    QVERIFY(!delivered.contains(first));
    QVERIFY(!delivered.contains(second));
}

void TestVoice::voiceNeverHangsWithoutAnAudioDevice()
{
    // Where no device exists every text is dropped; where one does, each is
    // played to its end. Either way each text ends, and in order.
    PlainVoice voice(m_engine);
    QSignalSpy finished(&voice.player(), &SpeechPlayer::finished);
    voice.speak(QStringLiteral("8times5,is40"));
    voice.speak(QStringLiteral("Hi! How are ~you?,?"));
    voice.speak(QStringLiteral("You need to increase your speed."));
    QVERIFY(voice.player().isBusy());
    QVERIFY(QTest::qWaitFor([&] { return finished.size() == 3; }, WaitMs));
    QVERIFY(!voice.player().isBusy());
    QVERIFY(finished.at(0).at(0).toULongLong() < finished.at(1).at(0).toULongLong());
    QVERIFY(finished.at(1).at(0).toULongLong() < finished.at(2).at(0).toULongLong());
}

void TestVoice::stopSilencesTheVoiceAndDropsWhatWaits()
{
    PlainVoice voice(m_engine);
    QSignalSpy finished(&voice.player(), &SpeechPlayer::finished);
    voice.speak(QStringLiteral("One long sentence after another. ").repeated(20));
    voice.speak(QStringLiteral("two"));
    voice.stop();
    QVERIFY(!voice.player().isBusy());
    QVERIFY(!voice.player().playing());

    const quint64 ticket = voice.player().say(QStringLiteral("three"));
    QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, WaitMs));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toULongLong(), ticket);
}

// A text still being made, first in line or not, has not begun: dropping
// what waits leaves nothing to hear, and the next text is heard next.
void TestVoice::droppingWaitingTextsDropsEveryTextNotYetHeard()
{
    PlainVoice voice(m_engine);
    QSignalSpy started(&voice.player(), &SpeechPlayer::started);
    QSignalSpy finished(&voice.player(), &SpeechPlayer::finished);
    voice.speak(QStringLiteral("8times5"));
    voice.speak(QStringLiteral("Wrong"));
    voice.speak(QStringLiteral("8times5,is40"));
    voice.dropWaiting();
    QVERIFY(!voice.player().isBusy());

    const quint64 ticket = voice.player().say(QStringLiteral("3times5"));
    QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, WaitMs));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toULongLong(), ticket);
    QVERIFY(started.size() <= 1); // without an audio device nothing starts
    if (!started.isEmpty())
        QCOMPARE(started.at(0).at(0).toULongLong(), ticket);
}

QTEST_MAIN(TestVoice)
#include "test_voice.moc"
