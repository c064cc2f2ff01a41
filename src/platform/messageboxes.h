#pragma once

#include <QString>

namespace plovista {

// Answers of a message box, with the numbers the program stores as its
// message-box result.
enum MsgAnswer : int { MsgOk = 1, MsgCancel = 2, MsgRetry = 4, MsgYes = 6, MsgNo = 7 };

enum class MsgIcon { None, Question, Critical, Information };
enum class MsgButtons { Ok, YesNo, RetryCancel, OkCancel };

// The answer of a box's first button (Yes, OK or Retry), the one Enter
// gives unless a question says otherwise.
constexpr MsgAnswer firstAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
        return MsgYes;
    case MsgButtons::RetryCancel:
        return MsgRetry;
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        break;
    }
    return MsgOk;
}

// Modal boxes. ask() waits for the user and returns one of MsgAnswer;
// defaultAnswer is the button that has the focus, so Enter gives it.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual int ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                    MsgAnswer defaultAnswer) = 0;

    void inform(const QString &text, const QString &title, MsgIcon icon = MsgIcon::None)
    {
        ask(text, title, icon, MsgButtons::Ok, MsgOk);
    }
};

} // namespace plovista
