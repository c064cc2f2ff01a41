#pragma once

#include <QStringList>

namespace plovista {

// The families a window asks for, in its order, with those installed on this
// machine moved ahead of those that are not. Qt resolves a family that is not
// installed through fontconfig's substitutes before it tries the next one, a
// few milliseconds for every font the start screen sizes; a metric twin
// installed (Liberation Sans for Arial) is then taken at once.
QStringList installedFirst(const QStringList &families);

} // namespace plovista
