#pragma once

#include <QLibrary>

#include <type_traits>

namespace plovista {

// A system library's entry points, from the library loaded when first asked
// for rather than linked with the program. Never unloaded: what is resolved
// stays usable for the run. all() says whether the library loaded and every
// entry asked for was found.
class LibrarySymbols
{
public:
    LibrarySymbols(const QString &name, int version)
        : m_library(name, version)
        , m_all(m_library.load())
    { }

    template<typename Entry>
    void resolve(Entry &entry, const char *symbol)
    {
        static_assert(std::is_pointer_v<Entry>);
        entry = reinterpret_cast<Entry>(m_library.resolve(symbol));
        m_all = m_all && entry;
    }

    bool all() const { return m_all; }

private:
    QLibrary m_library;
    bool m_all;
};

} // namespace plovista
