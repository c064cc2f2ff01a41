#pragma once

#include <QList>
#include <QString>

namespace plovista {

// Names common in schools that the synthesisers' spelling-to-sound rules get
// wrong ("Siobhan" read as "shaow-bahn", "Nguyen" as "new-yen"), each with a
// spelling that both of them read right.
struct NameSaying
{
    const char *name; // as the name check lets it be typed
    const char *sayAs;
};
const QList<NameSaying> &nameLexicon();

// The text with every word that is a name of the lexicon, whatever its case,
// spelt as it is said.
QString respellNames(const QString &text);

} // namespace plovista
