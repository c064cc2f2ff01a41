#pragma once

#include "platform/messageboxes.h"

namespace plovista {

class QtMessageBoxes final : public MessageBoxes
{
public:
    int ask(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
            MsgAnswer defaultAnswer) override;
};

} // namespace plovista
