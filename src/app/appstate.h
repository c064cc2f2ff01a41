#pragma once

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

    // What start-up found.
    DisplayMode StartDisplayMode;
    QString WindowsDir;
    QString WindowsVersionCode;
    bool XpStyle = false;
    bool PeedyMissing = false;

    // The answer of the last message box (MsgAnswer).
    int MsgResult = 0;
};

} // namespace plovista
