#include "speech/speechaudio.h"

#include <QTest>

#include <cmath>
#include <numbers>

using namespace plovista;
using namespace plovista::speechaudio;

namespace {

constexpr int Rate = 16000;

qsizetype samplesIn(int ms)
{
    return qsizetype(Rate) * ms / 1000;
}

// A synthesiser's text: breath noise under the floor, a sound that swells
// from nothing and dies away again, then noise.
QByteArray madeSound()
{
    QList<qint16> samples;
    for (qsizetype i = 0; i < samplesIn(200); ++i)
        samples.append(qint16((i * 37) % (2 * NoiseFloor) - NoiseFloor));
    const qsizetype sound = samplesIn(300);
    for (qsizetype i = 0; i < sound; ++i) {
        const double swell =
            std::min({1.0, double(i) / double(samplesIn(50)), double(sound - i) / double(samplesIn(50))});
        samples.append(qint16(8000 * swell * std::sin(2 * std::numbers::pi * 220 * double(i) / Rate)));
    }
    for (qsizetype i = 0; i < samplesIn(150); ++i)
        samples.append(qint16((i * 53) % NoiseFloor - NoiseFloor / 2));
    return QByteArray(reinterpret_cast<const char *>(samples.constData()), samples.size() * 2);
}

qsizetype quietRun(const qint16 *samples, qsizetype count, qsizetype step)
{
    qsizetype run = 0;
    for (qsizetype i = step > 0 ? 0 : count - 1; i >= 0 && i < count && std::abs(samples[i]) <= NoiseFloor; i += step)
        ++run;
    return run;
}

} // namespace

class TestSpeechAudio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trimmingKeepsEverySoundAndLittleQuiet()
    {
        const QByteArray made = madeSound();
        QByteArray trimmed = made;
        const qsizetype removed = trimSilence(trimmed, Rate);

        const auto *before = reinterpret_cast<const qint16 *>(made.constData());
        const auto *after = reinterpret_cast<const qint16 *>(trimmed.constData());
        const qsizetype kept = trimmed.size() / 2;
        // Every sample above the noise floor is there, where it was, as it was.
        for (qsizetype i = 0; i < made.size() / 2; ++i) {
            if (std::abs(before[i]) <= NoiseFloor)
                continue;
            QVERIFY2(i >= removed && i - removed < kept, qPrintable(QStringLiteral("sample %1 was cut").arg(i)));
            QCOMPARE(after[i - removed], before[i]);
        }
        // A few ms of quiet at either end, never 20, and it starts and ends from nothing.
        QVERIFY(quietRun(after, kept, 1) <= samplesIn(EdgeMs) + 1);
        QVERIFY(quietRun(after, kept, -1) <= samplesIn(EdgeMs) + 1);
        QVERIFY(samplesIn(EdgeMs) < samplesIn(20));
        QVERIFY(std::abs(after[0]) < NoiseFloor / 8);
        QVERIFY(std::abs(after[kept - 1]) < NoiseFloor / 8);

        // Nothing but quiet is left as it is.
        QByteArray quiet(made.left(int(samplesIn(200)) * 2));
        const QByteArray untouched = quiet;
        QCOMPARE(trimSilence(quiet, Rate), 0);
        QCOMPARE(quiet, untouched);
    }

    // Word boundaries at 0, 300, 620, 900 and 1400 ms of a 1700 ms text.
    void aCutTextEndsAtTheFirstBoundaryItCanFadeTo()
    {
        const QList<int> boundaries {0, 300, 620, 900, 1400};
        // Past what the device holds, with room for the fade.
        QCOMPARE(cutPointMs(boundaries, 1700, 100, 250), 300);
        QCOMPARE(cutPointMs(boundaries, 1700, 100, 295), 620);
        // No boundary left: the text ends as it was made.
        QCOMPARE(cutPointMs(boundaries, 1700, 1250, 1395), 1700);
        // Nearly done: finished rather than cut.
        QCOMPARE(cutPointMs(boundaries, 1700, 1450, 1550), 1700);
        QCOMPARE(cutPointMs(boundaries, 1700, 1350, 1380), 1400);

        QByteArray pcm(int(samplesIn(1700)) * 2, '\x40');
        endWithFade(pcm, Rate, 620);
        QCOMPARE(pcm.size() / 2, samplesIn(620));
        const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
        QVERIFY(samples[samplesIn(620) - 1] < samples[samplesIn(620) - samplesIn(FadeMs) / 2]);
        QCOMPARE(samples[samplesIn(620) - samplesIn(FadeMs) - 1], qint16(0x4040));
    }
};

QTEST_GUILESS_MAIN(TestSpeechAudio)
#include "test_speechaudio.moc"
