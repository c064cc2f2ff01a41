#pragma once

#include "drill/drillsequence.h"
#include "drill/facts.h"
#include "platform/display.h"

#include <QString>

namespace plovista {

// The program-wide values: one instance for the run, owned by the hub and
// read and written by every window. Settings carry the names of the values
// they hold; switches are kept as bool whatever text their file holds.
struct AppState
{
    // Settings read at start-up (one file each).
    QString DisplayChoice;
    QString PerchStyle;
    int PerchTop = 0;
    QString MenuBarState;
    int FactsCount = 0;
    bool VistaNotice = false;
    bool PeedyEnabled = false;
    bool PeedyTeacher = false;
    bool VoiceEnabled = false;
    bool PeedyFeedback = false;
    bool VoiceFeedback = false;
    bool PeedyComments = false;
    bool VoiceComments = false;
    bool PeedyRewards = false;
    bool VoiceRewards = false;
    QString SpeedGoal;
    QString AccuracyGoal;
    QString GreetingMode;
    bool GreetingOff = false;
    QString CustomGreeting;
    QString BaseGreeting;

    // Names.
    QString StudentName;
    QString FirstName;
    QString SpokenName;
    bool NameRejected = false;

    // A file name and the part of it before its first point (ConcatNameFile).
    QString ScratchText;
    QString FileBaseName;

    // What start-up found.
    DisplayMode StartDisplayMode;
    QString WindowsDir;
    QString WindowsVersionCode;
    bool XpStyle = false;
    bool PeedyMissing = false;

    // The drill's selection, as the menus leave it for the drill window.
    // The option buttons of the menus show the same choice.
    DrillChoice Selection;
    bool FactsOfTenActive = false;
    bool SubtractionFlag = false;
    // The codes written into each record: "+7", "H", "0->9" and the like.
    QString ActivityCode;
    QString FormatCode;
    QString RangeCode;

    // The running drill and its timing and score.
    DrillSequence Drill;
    double StartSeconds = 0.0; // seconds since midnight
    double EndSeconds = 0.0;
    float Accuracy = 0.0f;
    double Speed = 0.0;
    double MinutesSpent = 0.0;

    // The message the teacher put at the top of the printed worksheets.
    QString WorksheetMessage;

    // The answer of the last message box (MsgAnswer).
    int MsgResult = 0;
};

} // namespace plovista
