#pragma once

#include "drill/drillsequence.h"
#include "drill/facts.h"

#include <QString>

namespace plovista {

// The session: who is working, the drill chosen and the drill running. One
// instance for the run, owned by the hub. The settings are in Settings, what
// start-up found in StartupFacts.
struct AppState
{
    // Names.
    QString StudentName;
    QString FirstName;
    // The name Peedy adds to greetings and comments: the first name or the
    // teacher's custom name (keys::CustomName).
    QString SpokenName;

    // The drill's selection, as the menus leave it for the drill window.
    // The option buttons of the menus show the same choice.
    DrillChoice Selection;
    bool FactsOfTenActive = false;
    bool SubtractionFlag = false;
    // The codes written into each record: "+7", "H", "0->9" and the like.
    QString ActivityCode;
    QString FormatCode;
    QString RangeCode;

    // The running drill and its start.
    DrillSequence Drill;
    double StartSeconds = 0.0; // seconds since midnight
    // The speed of the last scored drill: a drill of a count the teacher
    // cannot choose keeps it.
    double Speed = 0.0;
};

} // namespace plovista
