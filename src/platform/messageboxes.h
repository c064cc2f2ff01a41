#pragma once

#include <QString>

namespace plovista {

// Answers of a message box, with the numbers the program stores as its
// message-box result.
enum MsgAnswer : int { MsgOk = 1, MsgCancel = 2, MsgRetry = 4, MsgYes = 6, MsgNo = 7 };

enum class MsgIcon { None, Question, Critical, Information };
enum class MsgButtons { Ok, YesNo, RetryCancel, OkCancel };

// Modal boxes. ask() waits for the user and returns one of MsgAnswer.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual int ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons) = 0;

    void inform(const QString &text, const QString &title, MsgIcon icon = MsgIcon::None)
    {
        ask(text, title, icon, MsgButtons::Ok);
    }
};

} // namespace plovista
