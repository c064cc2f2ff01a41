#include "drill/answeredit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace plovista {

namespace {

bool rubsOut(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text == QLatin1String(" ") || text == QLatin1String("."))
        return true;
    if (!event->modifiers().testFlag(Qt::KeypadModifier))
        return false;
    // The number pad's Del key: Delete with Num Lock off, else the layout's
    // decimal sign, a comma on German and French keyboards.
    return event->key() == Qt::Key_Delete || text == QLatin1String(",");
}

bool isDigit(const QString &text)
{
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}

// The digit on the key pressed in the row above the letters, whatever the
// layout makes it type: on a French keyboard that row types "&", "é", ...
// and the digits need Shift, which a child does not know. Linux's key codes
// (evdev, as X11 and Wayland give them) number that row 10 to 19.
QString digitKeyOfRow(const QKeyEvent *event)
{
#ifdef Q_OS_LINUX
    const quint32 code = event->nativeScanCode();
    const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (code >= 10 && code <= 19 && !(event->modifiers() & chords))
        return QString(QLatin1Char("1234567890"[code - 10]));
#else
    Q_UNUSED(event);
#endif
    return {};
}

// Text a key would type: anything printable, as against editing keys and
// shortcuts, whose text is empty or a control character.
bool typesText(const QString &text)
{
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

AnswerEdit::AnswerEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Pasted text must pass the same rule as typed keys.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

void AnswerEdit::keyPressEvent(QKeyEvent *event)
{
    if (rubsOut(event)) {
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QLineEdit::keyPressEvent(&backspace);
        event->accept();
        return;
    }
    if (typesText(event->text()) && !isDigit(event->text())) {
        if (const QString digit = digitKeyOfRow(event); !digit.isEmpty()) {
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_0 + digit.at(0).digitValue(), Qt::NoModifier, digit);
            QLineEdit::keyPressEvent(&typed);
        }
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace plovista
