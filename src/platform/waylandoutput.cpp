#include "platform/waylandoutput.h"

#include "platform/librarysymbols.h"

#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

namespace plovista {

namespace {

// The few entry points of libwayland-client this needs, declared as its
// stable interface has them; the protocol's own inline helpers come down to
// these.
struct WaylandClient
{
    using Connect = void *(*)(const char *name);
    using Disconnect = void (*)(void *display);
    using Roundtrip = int (*)(void *display);
    using MarshalFlags = void *(*)(void *proxy, std::uint32_t opcode, const void *interface, std::uint32_t version,
                                   std::uint32_t flags, ...);
    using GetVersion = std::uint32_t (*)(void *proxy);
    using AddListener = int (*)(void *proxy, void (**listener)(), void *data);
    using Destroy = void (*)(void *proxy);

    Connect connect = nullptr;
    Disconnect disconnect = nullptr;
    Roundtrip roundtrip = nullptr;
    MarshalFlags marshalFlags = nullptr;
    GetVersion getVersion = nullptr;
    AddListener addListener = nullptr;
    Destroy destroy = nullptr;
    const void *registryInterface = nullptr;
    const void *outputInterface = nullptr;
};

const WaylandClient *waylandClient()
{
    static const std::optional<WaylandClient> loaded = []() -> std::optional<WaylandClient> {
        LibrarySymbols library(QStringLiteral("wayland-client"), 0);
        WaylandClient w;
        library.resolve(w.connect, "wl_display_connect");
        library.resolve(w.disconnect, "wl_display_disconnect");
        library.resolve(w.roundtrip, "wl_display_roundtrip");
        library.resolve(w.marshalFlags, "wl_proxy_marshal_flags");
        library.resolve(w.getVersion, "wl_proxy_get_version");
        library.resolve(w.addListener, "wl_proxy_add_listener");
        library.resolve(w.destroy, "wl_proxy_destroy");
        library.resolve(w.registryInterface, "wl_registry_interface");
        library.resolve(w.outputInterface, "wl_output_interface");
        return library.all() ? std::optional<WaylandClient>(w) : std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

// The protocol's numbers: requests wl_display.get_registry and
// wl_registry.bind; wl_output.mode's flag for the mode in use.
constexpr std::uint32_t GetRegistry = 1;
constexpr std::uint32_t Bind = 0;
constexpr std::uint32_t ModeCurrent = 0x1;

struct Query
{
    const WaylandClient *wl = nullptr;
    void *registry = nullptr;
    void *output = nullptr;
    void (**outputListener)() = nullptr;
    std::optional<DisplayMode> mode;
    bool sideways = false; // turned a quarter: the mode's width is the screen's height
};

void global(void *data, void *registry, std::uint32_t name, const char *interface, std::uint32_t version)
{
    auto &query = *static_cast<Query *>(data);
    if (query.output || qstrcmp(interface, "wl_output") != 0)
        return;
    // Version 2 has the four events handled below; a compositor's first
    // output is the one its panels and new windows go on.
    const std::uint32_t wanted = std::min<std::uint32_t>(version, 2);
    const char *interfaceName = *static_cast<const char *const *>(query.wl->outputInterface);
    query.output = query.wl->marshalFlags(registry, Bind, query.wl->outputInterface, wanted, 0, name, interfaceName,
                                          wanted, nullptr);
    // Listened to at once: its description may come with the next answer.
    if (query.output)
        query.wl->addListener(query.output, query.outputListener, &query);
}

void globalRemove(void *, void *, std::uint32_t) { }

void geometry(void *data, void *, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char *,
              const char *, std::int32_t transform)
{
    // 90 and 270 degrees, plain or flipped.
    static_cast<Query *>(data)->sideways = transform % 2 == 1;
}

void mode(void *data, void *, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t refresh)
{
    if (flags & ModeCurrent)
        static_cast<Query *>(data)->mode = DisplayMode {width, height, (refresh + 500) / 1000};
}

void done(void *, void *) { }

void scale(void *, void *, std::int32_t) { }

} // namespace

std::optional<DisplayMode> waylandOutputMode()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    const WaylandClient *wl = waylandClient();
    void *display = wl ? wl->connect(nullptr) : nullptr;
    if (!display)
        return std::nullopt;
    void (*registryListener[])() = {reinterpret_cast<void (*)()>(&global), reinterpret_cast<void (*)()>(&globalRemove)};
    void (*outputListener[])() = {reinterpret_cast<void (*)()>(&geometry), reinterpret_cast<void (*)()>(&mode),
                                  reinterpret_cast<void (*)()>(&done), reinterpret_cast<void (*)()>(&scale)};
    Query query;
    query.wl = wl;
    query.outputListener = outputListener;
    query.registry = wl->marshalFlags(display, GetRegistry, wl->registryInterface, wl->getVersion(display), 0, nullptr);
    if (query.registry) {
        wl->addListener(query.registry, registryListener, &query);
        // The first answer lists the globals (the output bound in it); the
        // second brings the output's description.
        if (wl->roundtrip(display) >= 0 && query.output)
            wl->roundtrip(display);
    }
    if (query.output)
        wl->destroy(query.output);
    if (query.registry)
        wl->destroy(query.registry);
    wl->disconnect(display);
    if (query.mode && query.sideways)
        std::swap(query.mode->width, query.mode->height);
    return query.mode;
}

} // namespace plovista
