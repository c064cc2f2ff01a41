#include "platform/qtsound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace plovista {

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::play(const QString &wavPath)
{
    const QFileInfo info(wavPath);
    if (!info.isFile())
        return;
    // Created on first use: the audio stack is not touched at start-up.
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (m_effect->source() != url)
        m_effect->setSource(url);
    // QSoundEffect loads and plays asynchronously; without an audio device it
    // reports an error state and simply stays silent.
    m_effect->play();
}

} // namespace plovista
