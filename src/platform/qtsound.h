#pragma once

#include "platform/sound.h"

#include <QObject>
#include <memory>

class QSoundEffect;

namespace plovista {

class QtSound final : public Sound
{
public:
    QtSound();
    ~QtSound() override;
    void play(const QString &wavPath) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace plovista
