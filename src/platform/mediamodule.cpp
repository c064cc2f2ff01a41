#include "platform/realmediaparts.h"

#include <QtGlobal>

#include <type_traits>

extern "C" Q_DECL_EXPORT plovista::MediaParts *plovista_make_media_parts()
{
    return new plovista::RealMediaParts;
}

static_assert(std::is_same_v<decltype(plovista_make_media_parts), plovista::MakeMediaParts>);
