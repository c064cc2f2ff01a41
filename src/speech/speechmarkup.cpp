#include "speech/speechmarkup.h"

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
