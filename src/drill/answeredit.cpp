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
    // With Num Lock off the number pad's Del key sends Delete, not the point.
    return event->key() == Qt::Key_Delete && event->modifiers().testFlag(Qt::KeypadModifier);
}

bool isDigit(const QString &text)
{
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
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
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace plovista
