// How well a listener that knows nothing of the program understands its
// speech: the program's own texts (40 corrected facts, as said after a wrong
// answer, and the feedback, praise and comments of a drill) are made into
// sound by the real speech engine, for each synthesiser and each speaker,
// and an offline recogniser (pocketsphinx with its US English model), held
// to a grammar of the words of these texts, writes down what it hears. The
// word error rate is the edits (words put in, left out or taken for
// another) to turn what it heard into what was said, over the words said.
//
// A third listener has no grammar at all: the recogniser's own language
// model of English, as a stranger would hear it; the strictest of the three.
//
// Usage: bench_intelligibility [--detail] [--keep DIR] [--natural-only]
//        [--peedy SPEED,HALFTONES,WARPING] [--only voice|Peedy]
// --peedy tries another voice for Peedy with the natural voice (WARPING 0
// keeps the voice's own), to weigh a choice before it is made.
// Any fault (no recogniser, a text not made into sound, the recogniser
// failing) prints FAILED and no figure.

#include "drill/drillspeech.h"
#include "drill/facts.h"
#include "platform/parrotcharacter.h"
#include "platform/plainvoice.h"
#include "platform/speechengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using namespace plovista;

namespace {

const QString ModelDir = QStringLiteral("/usr/share/pocketsphinx/model/en-us");
constexpr int RecogniserRate = 16000;
constexpr int SynthesisLimitMs = 60000;
// The recogniser hears every text of a speaker in one run.
constexpr int RunLimitMs = 20 * 60 * 1000;
// Quiet put around each text as a listener hears it between others: the
// recogniser takes its measure of the background from the first of it.
const QString QuietAround = QStringLiteral("0.3");

[[noreturn]] void fail(const QString &why)
{
    std::printf("FAILED: %s\n", qPrintable(why));
    std::fflush(stdout);
    std::exit(1);
}

QString numberWords(int n)
{
    static const char *const small[] = {
        "zero", "one",    "two",    "three",    "four",     "five",    "six",     "seven",     "eight",    "nine",
        "ten",  "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char *const tens[] = {"",      "",      "twenty",  "thirty", "forty",
                                       "fifty", "sixty", "seventy", "eighty", "ninety"};
    if (n >= 100)
        return numberWords(n / 100) + QStringLiteral(" hundred") +
            (n % 100 ? QStringLiteral(" ") + numberWords(n % 100) : QString());
    if (n < 20)
        return QString::fromLatin1(small[n]);
    return QString::fromLatin1(tens[n / 10]) +
        (n % 10 ? QStringLiteral(" ") + QString::fromLatin1(small[n % 10]) : QString());
}

// What a listener should hear in a text of the program: its words, numbers
// as words, no marks.
QStringList wordsSaid(const QString &text)
{
    QString spaced = text;
    spaced.replace(QRegularExpression(QStringLiteral("(\\d)(?=[A-Za-z])")), QStringLiteral("\\1 "));
    spaced.replace(QRegularExpression(QStringLiteral("([A-Za-z])(?=\\d)")), QStringLiteral("\\1 "));
    spaced.replace(QRegularExpression(QStringLiteral("[~,.!?;:]")), QStringLiteral(" "));
    QStringList words;
    for (const QString &word : spaced.toLower().split(u' ', Qt::SkipEmptyParts)) {
        bool number = false;
        const int value = word.toInt(&number);
        words += number ? numberWords(value).split(u' ') : QStringList {word};
    }
    return words;
}

Fact fact(Operation operation, int left, FactSign sign, int right, int answer)
{
    Fact fact;
    fact.operation = operation;
    fact.left = left;
    fact.sign = sign;
    fact.right = right;
    fact.answer = answer;
    return fact;
}

// 40 corrected facts, ten of each operation, spread over the tables, and
// the drill's other texts.
QStringList programTexts()
{
    QStringList texts;
    const int pairs[10][2] = {{7, 8}, {3, 9}, {6, 6}, {12, 4}, {9, 5}, {8, 11}, {4, 7}, {2, 12}, {11, 3}, {5, 10}};
    for (const auto &pair : pairs) {
        const int a = pair[0];
        const int b = pair[1];
        texts.append(correctionReading(fact(Operation::Addition, a, FactSign::Plus, b, a + b)));
        texts.append(correctionReading(fact(Operation::Subtraction, a + b, FactSign::Minus, b, a)));
        texts.append(correctionReading(fact(Operation::Multiplication, a, FactSign::Times, b, a * b)));
        texts.append(correctionReading(fact(Operation::Division, a * b, FactSign::DividedBy, b, a)));
    }
    // Feedback after an answer, praise and comments at the end of a drill.
    texts << QStringLiteral("Good!") << QStringLiteral("Correct!") << QStringLiteral("Right!")
          << QStringLiteral("Wrong") << QStringLiteral("Sorry") << QStringLiteral("I am ~proud of you.")
          << QStringLiteral("Keep up the good work!") << QStringLiteral("You are doing very ~well.")
          << QStringLiteral("Way to ~go.") << QStringLiteral("Perfect score!")
          << QStringLiteral("You need to increase your speed and accuracy.")
          << QString::fromLatin1(PleaseTypeAnswerText) << QString::fromLatin1(GetYourScoreText);
    return texts;
}

void writeWav(const QString &path, const SynthesizedSpeech &speech)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(path));
    auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); };
    auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); };
    const quint32 rate = quint32(speech.sampleRate);
    QByteArray header = "RIFF" + le32(quint32(36 + speech.pcm.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
        le32(rate) + le32(rate * 2) + le16(2) + le16(16) + "data" + le32(quint32(speech.pcm.size()));
    file.write(header);
    file.write(speech.pcm);
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(RunLimitMs) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("%1 failed: %2")
                 .arg(program, QString::fromLocal8Bit(process.readAllStandardError().right(500))));
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The fewest words substituted, left out and put in that turn what was said
// into what was heard.
struct Errors
{
    int substituted = 0, deleted = 0, inserted = 0;
    int total() const { return substituted + deleted + inserted; }
    Errors &operator+=(const Errors &other)
    {
        substituted += other.substituted;
        deleted += other.deleted;
        inserted += other.inserted;
        return *this;
    }
};

Errors errorsBetween(const QStringList &said, const QStringList &heard)
{
    const qsizetype rows = said.size() + 1;
    const qsizetype columns = heard.size() + 1;
    std::vector<Errors> table(std::size_t(rows * columns));
    auto at = [&](qsizetype i, qsizetype j) -> Errors & { return table[std::size_t(i * columns + j)]; };
    for (qsizetype i = 1; i < rows; ++i)
        at(i, 0).deleted = int(i);
    for (qsizetype j = 1; j < columns; ++j)
        at(0, j).inserted = int(j);
    for (qsizetype i = 1; i < rows; ++i) {
        for (qsizetype j = 1; j < columns; ++j) {
            Errors best = at(i - 1, j - 1);
            if (said.at(i - 1) != heard.at(j - 1))
                ++best.substituted;
            Errors deletion = at(i - 1, j);
            ++deletion.deleted;
            Errors insertion = at(i, j - 1);
            ++insertion.inserted;
            for (const Errors &other : {deletion, insertion})
                if (other.total() < best.total())
                    best = other;
            at(i, j) = best;
        }
    }
    return at(rows - 1, columns - 1);
}

SynthesizedSpeech synthesize(SpeechEngine &engine, int channel, const SpeechVoice &voice, const QString &text)
{
    std::optional<SynthesizedSpeech> result;
    bool failed = false;
    QEventLoop loop;
    const quint64 serial = engine.synthesize(channel, voice, text);
    const auto made =
        QObject::connect(&engine, &SpeechEngine::synthesized, &loop, [&](const SynthesizedSpeech &speech) {
            if (speech.serial == serial) {
                result = speech;
                loop.quit();
            }
        });
    const auto broken = QObject::connect(&engine, &SpeechEngine::failed, &loop, [&](int, quint64 which) {
        if (which == serial) {
            failed = true;
            loop.quit();
        }
    });
    QTimer::singleShot(SynthesisLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(made);
    QObject::disconnect(broken);
    if (!result || failed || result->pcm.isEmpty())
        fail(QStringLiteral("\"%1\" was not made into sound").arg(text));
    return *result;
}

struct Speaker
{
    const char *name;
    SpeechVoice voice;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool detail = arguments.contains(QStringLiteral("--detail"));
    const qsizetype keepAt = arguments.indexOf(QStringLiteral("--keep"));

    const QString recogniser = QStandardPaths::findExecutable(QStringLiteral("pocketsphinx_batch"));
    if (recogniser.isEmpty())
        fail(QStringLiteral("pocketsphinx_batch is not installed (Debian pocketsphinx)"));
    if (!QFile::exists(ModelDir + QStringLiteral("/cmudict-en-us.dict")))
        fail(QStringLiteral("the recogniser's model is not installed (Debian pocketsphinx-en-us)"));
    if (QStandardPaths::findExecutable(QStringLiteral("sox")).isEmpty())
        fail(QStringLiteral("sox is not installed (Debian sox)"));

    QTemporaryDir temporary;
    const QString folder = keepAt >= 0 && keepAt + 1 < arguments.size() ? arguments.at(keepAt + 1) : temporary.path();
    QDir().mkpath(folder);

    const QStringList texts = programTexts();
    QStringList vocabulary;
    int wordsInAll = 0;
    for (const QString &text : texts) {
        const QStringList words = wordsSaid(text);
        wordsInAll += int(words.size());
        for (const QString &word : words)
            if (!vocabulary.contains(word))
                vocabulary.append(word);
    }
    // Two grammars: any sequence of the words; and the facts held to their
    // shape ("NUMBER plus NUMBER is NUMBER", numbers up to 144), the other
    // texts to any sequence of their own words.
    QStringList phraseWords;
    for (const QString &text : texts) {
        if (text.contains(QRegularExpression(QStringLiteral("\\d"))))
            continue;
        for (const QString &word : wordsSaid(text))
            if (!phraseWords.contains(word))
                phraseWords.append(word);
    }
    QStringList numbers;
    for (int n = 0; n <= 144; ++n)
        numbers.append(numberWords(n));
    const QString wordLoop = folder + QStringLiteral("/words.jsgf");
    const QString shaped = folder + QStringLiteral("/shaped.jsgf");
    auto writeGrammar = [](const QString &path, const QString &body) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write %1").arg(path));
        file.write((QStringLiteral("#JSGF V1.0;\ngrammar said;\n") + body).toLatin1());
    };
    writeGrammar(
        wordLoop,
        QStringLiteral("public <said> = <word>+;\n<word> = %1;\n").arg(vocabulary.join(QStringLiteral(" | "))));
    writeGrammar(shaped,
                 QStringLiteral("public <said> = <fact> | <phrase>;\n"
                                "<fact> = <number> (plus | minus | times | divided by) <number> is <number>;\n"
                                "<number> = %1;\n<phrase> = <word>+;\n<word> = %2;\n")
                     .arg(numbers.join(QStringLiteral(" | ")), phraseWords.join(QStringLiteral(" | "))));
    std::printf("%lld texts, %d words, %lld different\n", qlonglong(texts.size()), wordsInAll,
                qlonglong(vocabulary.size()));

    Speaker speakers[] = {{"voice", PlainVoice::plainVoice()}, {"Peedy", ParrotCharacter::parrotVoice()}};
    const qsizetype peedyAt = arguments.indexOf(QStringLiteral("--peedy"));
    if (peedyAt >= 0) {
        const QStringList values = arguments.value(peedyAt + 1).split(u',');
        if (values.size() != 3)
            fail(QStringLiteral("--peedy wants SPEED,HALFTONES,WARPING"));
        speakers[1].voice.speed = values.at(0).toDouble();
        speakers[1].voice.halfTones = values.at(1).toDouble();
        speakers[1].voice.warping = values.at(2).toDouble();
    }
    std::printf("Peedy's natural voice: speed %.2f, %.1f half-tones, warping %.2f (0: the voice's own)\n",
                speakers[1].voice.speed, speakers[1].voice.halfTones, speakers[1].voice.warping);
    const bool naturalOnly = arguments.contains(QStringLiteral("--natural-only"));
    const qsizetype onlyAt = arguments.indexOf(QStringLiteral("--only"));
    const QString only = onlyAt >= 0 ? arguments.value(onlyAt + 1) : QString();
    struct Engine
    {
        const char *name;
        SpeechEngine::Synthesizer synthesizer;
    };
    const Engine engines[] = {{"natural voice", SpeechEngine::Synthesizer::Natural},
                              {"espeak-ng", SpeechEngine::Synthesizer::Espeak}};
    struct Rate
    {
        QString name;
        Errors loop;
        Errors shaped;
        Errors free;
    };
    std::vector<Rate> rates;
    for (const Engine &choice : engines) {
        if (naturalOnly && choice.synthesizer != SpeechEngine::Synthesizer::Natural)
            continue;
        SpeechEngine engine(choice.synthesizer);
        engine.begin();
        QElapsedTimer waited;
        waited.start();
        while (!engine.synthesizer() && waited.elapsed() < SynthesisLimitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!engine.synthesizer())
            fail(QStringLiteral("the %1 engine did not start").arg(QLatin1String(choice.name)));
        if (*engine.synthesizer() != choice.synthesizer) {
            std::printf("%-14s not available here (the natural voice needs Debian festvox-us-slt-hts)\n", choice.name);
            continue;
        }
        const int channel = engine.openChannel();
        for (const Speaker &speaker : speakers) {
            if (!only.isEmpty() && only != QLatin1String(speaker.name))
                continue;
            Errors loopErrors;
            Errors shapedErrors;
            Errors freeErrors;
            // Every text made first, then each listener hears them all in
            // one run: loading the recogniser's model is most of its work.
            QStringList ids;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                const SynthesizedSpeech speech = synthesize(engine, channel, speaker.voice, texts.at(i));
                const QString id =
                    QStringLiteral("%1-%2-%3")
                        .arg(QString::fromLatin1(choice.name).split(u' ').first(), QLatin1String(speaker.name))
                        .arg(i, 2, 10, QLatin1Char('0'));
                const QString base = folder + u'/' + id;
                writeWav(base + QStringLiteral("-made.wav"), speech);
                run(QStringLiteral("sox"),
                    {base + QStringLiteral("-made.wav"), QStringLiteral("-r"), QString::number(RecogniserRate),
                     QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-e"), QStringLiteral("signed"),
                     QStringLiteral("-b"), QStringLiteral("16"), base + QStringLiteral(".raw"), QStringLiteral("pad"),
                     QuietAround, QuietAround});
                ids << id;
            }
            const QString list = folder + QStringLiteral("/texts.ctl");
            {
                QFile file(list);
                if (!file.open(QIODevice::WriteOnly))
                    fail(QStringLiteral("cannot write %1").arg(list));
                file.write((ids.join(u'\n') + u'\n').toLatin1());
            }
            for (const QString &grammar : {wordLoop, shaped, QString()}) {
                const QStringList listener = grammar.isEmpty()
                    ? QStringList {QStringLiteral("-lm"), ModelDir + QStringLiteral("/en-us.lm.bin")}
                    : QStringList {QStringLiteral("-jsgf"), grammar};
                const QString hypotheses = folder + QStringLiteral("/heard.hyp");
                QFile::remove(hypotheses);
                run(recogniser,
                    QStringList {QStringLiteral("-adcin"), QStringLiteral("yes"), QStringLiteral("-cepdir"), folder,
                                 QStringLiteral("-cepext"), QStringLiteral(".raw"), QStringLiteral("-ctl"), list,
                                 QStringLiteral("-hyp"), hypotheses, QStringLiteral("-hmm"),
                                 ModelDir + QStringLiteral("/en-us"), QStringLiteral("-dict"),
                                 ModelDir + QStringLiteral("/cmudict-en-us.dict"), QStringLiteral("-logfn"),
                                 QStringLiteral("/dev/null")} +
                        listener);
                // One line a text: "the words heard (ID SCORE)".
                QHash<QString, QStringList> heardOf;
                QFile file(hypotheses);
                if (!file.open(QIODevice::ReadOnly))
                    fail(QStringLiteral("the recogniser wrote nothing"));
                static const QRegularExpression line(QStringLiteral("^(.*)\\((\\S+) -?\\d+\\)\\s*$"));
                for (const QByteArray &raw : file.readAll().split('\n')) {
                    const QRegularExpressionMatch match = line.match(QString::fromLatin1(raw));
                    if (match.hasMatch())
                        heardOf.insert(match.captured(2),
                                       match.captured(1).simplified().toLower().split(u' ', Qt::SkipEmptyParts));
                }
                for (qsizetype i = 0; i < texts.size(); ++i) {
                    const QStringList said = wordsSaid(texts.at(i));
                    const QStringList heard = heardOf.value(ids.at(i));
                    const Errors errors = errorsBetween(said, heard);
                    (grammar == wordLoop ? loopErrors : grammar == shaped ? shapedErrors : freeErrors) += errors;
                    const char *listenerName = grammar == wordLoop ? "words" : grammar == shaped ? "shaped" : "free";
                    if (detail || errors.total())
                        std::printf("  %-14s %-6s %-6s %-46s heard \"%s\" (%d)\n", choice.name, speaker.name,
                                    listenerName, qPrintable(QLatin1Char('"') + said.join(u' ') + QLatin1Char('"')),
                                    qPrintable(heard.join(u' ')), errors.total());
                }
            }
            rates.push_back({QStringLiteral("%1, %2").arg(QLatin1String(choice.name), QLatin1String(speaker.name)),
                             loopErrors, shapedErrors, freeErrors});
        }
    }
    if (rates.empty())
        fail(QStringLiteral("no engine could be measured"));
    std::printf("word error rate over %d words (substituted, left out, put in)\n", wordsInAll);
    std::printf("%-22s %-30s %-30s %s\n", "", "any sequence of the words", "facts held to their shape",
                "English, no grammar");
    auto cell = [wordsInAll](const Errors &errors) {
        return QStringLiteral("%1 % (%2, %3, %4)")
            .arg(100.0 * errors.total() / wordsInAll, 5, 'f', 1)
            .arg(errors.substituted)
            .arg(errors.deleted)
            .arg(errors.inserted);
    };
    for (const Rate &rate : rates)
        std::printf("%-22s %-30s %-30s %s\n", qPrintable(rate.name), qPrintable(cell(rate.loop)),
                    qPrintable(cell(rate.shaped)), qPrintable(cell(rate.free)));
    return 0;
}
