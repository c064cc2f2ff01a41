#include "platform/realmediaparts.h"

#include "platform/parrotcharacter.h"
#include "platform/plainvoice.h"
#include "platform/qtprinting.h"
#include "platform/qtsound.h"

namespace plovista {

RealMediaParts::RealMediaParts() = default;
RealMediaParts::~RealMediaParts() = default;

std::unique_ptr<Character> RealMediaParts::makeCharacter()
{
    return std::make_unique<ParrotCharacter>(m_engine, ParrotDesktop::ofThisSession());
}

std::unique_ptr<Voice> RealMediaParts::makeVoice()
{
    return std::make_unique<PlainVoice>(m_engine);
}

std::unique_ptr<Sound> RealMediaParts::makeSound()
{
    return std::make_unique<QtSound>();
}

std::unique_ptr<Printing> RealMediaParts::makePrinting()
{
    return std::make_unique<QtPrinting>();
}

void RealMediaParts::beginSpeech()
{
    m_engine.begin();
}

} // namespace plovista
