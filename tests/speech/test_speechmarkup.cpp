#include "speech/speechmarkup.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTest>

using namespace plovista;

class TestSpeechMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertsMarks_data();
    void convertsMarks();
    void pauseGrowsWithTheRun();
    void neverLeavesAMarkTheEngineWouldReadAloud_data();
    void neverLeavesAMarkTheEngineWouldReadAloud();
    void cutsIntoSentences_data();
    void cutsIntoSentences();
};

void TestSpeechMarkup::convertsMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ssml");

    QTest::newRow("plain") << "Type your name"
                           << "Type your name";
    QTest::newRow("stressed word") << "I am ~so happy"
                                   << "I am <emphasis>so</emphasis> happy";
    QTest::newRow("stressed syllable") << "Buenos No~chezz?"
                                       << "Buenos No<emphasis>chezz</emphasis>?";
    QTest::newRow("stressed glued words") << "well~done!"
                                          << "well<emphasis>done</emphasis>!";
    QTest::newRow("two stresses") << "~Per fect ~score."
                                  << "<emphasis>Per</emphasis> fect <emphasis>score</emphasis>.";
    QTest::newRow("apostrophe stays in the word") << "~It's you"
                                                  << "<emphasis>It's</emphasis> you";
    QTest::newRow("stray tilde dropped") << "so ~ happy~"
                                         << "so  happy";
    QTest::newRow("comma glued to word pauses") << "8times5,is40"
                                                << "8times5, is40";
    QTest::newRow("digits glued to words unchanged") << "40divided by5"
                                                     << "40divided by5";
    QTest::newRow("facts of ten") << "10minus what,is3"
                                  << "10minus what, is3";
    QTest::newRow("double comma") << "one,,two"
                                  << "one, <break time=\"250ms\"/> two";
    QTest::newRow("double period with space") << "one.. two"
                                              << "one. <break time=\"250ms\"/> two";
    QTest::newRow("exclamation then comma then name")
        << "It's ~you! I am ~so happy!,Ann?"
        << "It's <emphasis>you</emphasis>! I am <emphasis>so</emphasis> happy! <break time=\"250ms\"/> Ann?";
    QTest::newRow("empty name at the end") << "Hello. I am ~so happy to work with you.,?"
                                           << "Hello. I am <emphasis>so</emphasis> happy to work with you.";
    QTest::newRow("ellipsis at the end") << "Printing records form....."
                                         << "Printing records form.";
    QTest::newRow("decimal point") << "3.5 seconds"
                                   << "3.5 seconds";
    QTest::newRow("xml characters") << "a < b & c > d"
                                    << "a &lt; b &amp; c &gt; d";
    QTest::newRow("tag-like text") << "<break time=\"9s\"/>"
                                   << "&lt;break time=\"9s\"/&gt;";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSpeechMarkup::convertsMarks()
{
    QFETCH(QString, text);
    QFETCH(QString, ssml);
    QCOMPARE(speechMarkupToSsml(text), ssml);
}

static int pauseMs(const QString &ssml)
{
    static const QRegularExpression breakTag(QStringLiteral("<break time=\"(\\d+)ms\"/>"));
    int total = 0;
    for (const QRegularExpressionMatch &match : breakTag.globalMatch(ssml))
        total += match.captured(1).toInt();
    return total;
}

void TestSpeechMarkup::pauseGrowsWithTheRun()
{
    int previous = -1;
    for (int run = 1; run <= 6; ++run) {
        const QString text = QStringLiteral("one") + QString(run, u',') + QStringLiteral("two");
        const int pause = pauseMs(speechMarkupToSsml(text));
        QVERIFY2(pause > previous, qPrintable(text));
        previous = pause;
    }
    QCOMPARE(pauseMs(speechMarkupToSsml(QStringLiteral("one,two"))), 0);
    QCOMPARE(pauseMs(speechMarkupToSsml(QStringLiteral("one...two"))), 2 * PausePerExtraMarkMs);
}

void TestSpeechMarkup::neverLeavesAMarkTheEngineWouldReadAloud_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("greeting 1") << "It's ~you! I am ~so happy!,?";
    QTest::newRow("greeting 2") << "Buenos Dias! Or is it Buenos No~chezz? I have lost track!,Ann?";
    QTest::newRow("greeting 9") << "Hi! How are ~you?,?";
    QTest::newRow("greeting 12") << "Hi! I am feeling ~great. How are ~you?,Ann?";
    QTest::newRow("runs everywhere") << "a,.!b?;:c~~d";
}

void TestSpeechMarkup::neverLeavesAMarkTheEngineWouldReadAloud()
{
    QFETCH(QString, text);
    QString spoken = speechMarkupToSsml(text);
    spoken.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    QVERIFY2(!spoken.contains(u'~'), qPrintable(spoken));
    // Two marks in a row, or a mark glued to the next word, are read out by
    // espeak-ng as names of the marks.
    QVERIFY2(!spoken.contains(QRegularExpression(QStringLiteral("[,.!?;:]\\S"))), qPrintable(spoken));
}

// Each sentence as "text [stressed words] +pause"; sentences joined by " | ".
static QString describe(const QList<SpokenSentence> &sentences)
{
    QStringList parts;
    for (const SpokenSentence &sentence : sentences) {
        QString part = sentence.text;
        if (!sentence.stressed.isEmpty()) {
            const QStringList words = sentence.text.split(u' ');
            QStringList stressed;
            for (int index : sentence.stressed)
                stressed.append(index >= 0 && index < words.size()
                                    ? words.at(index).chopped(words.at(index).back().isLetterOrNumber() ? 0 : 1)
                                    : QStringLiteral("?"));
            part += QStringLiteral(" [%1]").arg(stressed.join(u' '));
        }
        if (sentence.pauseAfterMs)
            part += QStringLiteral(" +%1").arg(sentence.pauseAfterMs);
        parts.append(part);
    }
    return parts.join(QStringLiteral(" | "));
}

void TestSpeechMarkup::cutsIntoSentences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sentences");

    QTest::newRow("greeting, empty name") << "Hello. I am ~so happy to work with you.,?"
                                          << "Hello. | I am so happy to work with you. [so]";
    QTest::newRow("greeting with a name") << "It's ~you! I am ~so happy!,Ann?"
                                          << "It's you! [you] | I am so happy! [so] +250 | Ann?";
    QTest::newRow("stressed syllable") << "Buenos No~chezz? I have lost track!,?"
                                       << "Buenos No chezz? [chezz] | I have lost track!";
    QTest::newRow("glued stress") << "well~done!"
                                  << "well done! [done]";
    QTest::newRow("fact") << "8times5"
                          << "8 times 5";
    QTest::newRow("correction pauses at its comma") << "8times5,is40"
                                                    << "8 times 5, | is 40";
    QTest::newRow("facts of ten") << "10minus what,is3"
                                  << "10 minus what, | is 3";
    QTest::newRow("runs grow the pause") << "one,,two...three,,,,four"
                                         << "one, +250 | two. +500 | three, +750 | four";
    QTest::newRow("numbers keep their marks") << "3.5 and 1,000 seconds"
                                              << "3.5 and 1,000 seconds";
    QTest::newRow("stray marks") << "~ ,,so~ happy~"
                                 << "so happy";
    QTest::newRow("nothing to say") << ".,?"
                                    << "";
}

void TestSpeechMarkup::cutsIntoSentences()
{
    QFETCH(QString, text);
    QFETCH(QString, sentences);
    QCOMPARE(describe(speechMarkupToSentences(text)), sentences);
}

QTEST_GUILESS_MAIN(TestSpeechMarkup)
#include "test_speechmarkup.moc"
