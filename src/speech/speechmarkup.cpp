#include "speech/speechmarkup.h"

#include <QStringList>

namespace plovista {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'\'';
}

bool isPauseMark(QChar c)
{
    return c == u',' || c == u'.' || c == u'!' || c == u'?' || c == u';' || c == u':';
}

void appendEscaped(QString &out, QChar c)
{
    if (c == u'&')
        out += u"&amp;";
    else if (c == u'<')
        out += u"&lt;";
    else if (c == u'>')
        out += u"&gt;";
    else
        out += c;
}

bool isDigitAt(const QString &text, qsizetype i)
{
    return i >= 0 && i < text.size() && text.at(i).isDigit();
}

} // namespace

QString speechMarkupToSsml(const QString &text)
{
    QString out;
    out.reserve(text.size() + 32);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);

        if (c == u'~') {
            qsizetype end = i + 1;
            while (end < n && isWordChar(text.at(end)))
                ++end;
            if (end > i + 1) {
                out += u"<emphasis>";
                out += text.mid(i + 1, end - i - 1);
                out += u"</emphasis>";
            }
            i = end;
            continue;
        }

        if (isPauseMark(c)) {
            if ((c == u',' || c == u'.') && isDigitAt(text, i - 1) && isDigitAt(text, i + 1)) {
                out += c;
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < n && isPauseMark(text.at(end)))
                ++end;
            const qsizetype run = end - i;
            qsizetype next = end;
            while (next < n && text.at(next).isSpace())
                ++next;
            out += c;
            if (next < n) {
                out += u' ';
                if (run > 1)
                    out += QStringLiteral("<break time=\"%1ms\"/> ").arg((run - 1) * PausePerExtraMarkMs);
            }
            i = next;
            continue;
        }

        appendEscaped(out, c);
        ++i;
    }
    return out;
}

} // namespace plovista

namespace plovista {

namespace {

// Gathers words into sentences for speechMarkupToSentences.
class SentenceBuilder
{
public:
    // `inNumber`: a comma or period between digits, part of the number.
    void addChar(QChar c, bool inNumber = false)
    {
        // "8times5": a number and a word glued together are two words.
        const bool numeric = inNumber || c.isDigit();
        if (!m_word.isEmpty() && m_word.back() != u'\'' && c != u'\'' && m_wordNumeric != numeric)
            endWord();
        m_word += c;
        m_wordNumeric = numeric;
    }
    // Stresses the word that begins next.
    void stressNext()
    {
        endWord();
        m_stressNext = true;
    }
    void endWord()
    {
        if (!m_word.isEmpty()) {
            if (m_stressNext)
                m_current.stressed.append(int(m_words.size()));
            m_words.append(m_word);
            m_word.clear();
        }
        m_stressNext = false;
    }
    void endSentence(QChar closing, int pauseAfterMs)
    {
        endWord();
        if (m_words.isEmpty()) {
            if (!m_sentences.isEmpty())
                m_sentences.last().pauseAfterMs += pauseAfterMs;
        } else {
            if (!closing.isNull())
                m_words.last() += closing;
            m_current.text = m_words.join(u' ');
            m_current.pauseAfterMs = pauseAfterMs;
            m_sentences.append(m_current);
        }
        m_current = {};
        m_words.clear();
    }
    QList<SpokenSentence> take()
    {
        endSentence({}, 0);
        return std::move(m_sentences);
    }

private:
    QList<SpokenSentence> m_sentences;
    SpokenSentence m_current;
    QStringList m_words;
    QString m_word;
    bool m_wordNumeric = false; // what the word's last character was
    bool m_stressNext = false;
};

} // namespace

QList<SpokenSentence> speechMarkupToSentences(const QString &text)
{
    SentenceBuilder builder;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'~') {
            builder.stressNext();
            ++i;
        } else if (isPauseMark(c)) {
            if ((c == u',' || c == u'.') && isDigitAt(text, i - 1) && isDigitAt(text, i + 1)) {
                builder.addChar(c, true);
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < n && isPauseMark(text.at(end)))
                ++end;
            qsizetype next = end;
            while (next < n && !isWordChar(text.at(next)) && text.at(next) != u'~' && !isPauseMark(text.at(next)))
                ++next;
            builder.endSentence(c, next < n ? int(end - i - 1) * PausePerExtraMarkMs : 0);
            i = end;
        } else if (isWordChar(c)) {
            builder.addChar(c);
            ++i;
        } else {
            builder.endWord();
            ++i;
        }
    }
    return builder.take();
}

} // namespace plovista
