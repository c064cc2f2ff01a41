#pragma once

#include "settings/setting.h"

#include <QString>

#include <algorithm>
#include <array>

// Every setting of the program, each declared once: its file in "Files", how
// the file holds it, and the default a missing file is created with. A new
// setting is a key here and an entry in All; start-up creates and reads its
// file from then on.
namespace plovista::keys {

// GCC 12 takes a member left to its default in a designated initializer for
// one forgotten; here leaving them is the point.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// "Change": switch the display to 800 by 600 at every start; "DontChange".
inline const Setting<QString> DisplayChoice {
    .file = "Display", .format = formats::Text, .defaultValue = QStringLiteral("DontChange")};
// Peedy's perch for the desktop's style, "XP" or "Standard".
inline const Setting<QString> PerchStyle {.file = "Perch",
                                          .format = formats::Text,
                                          .defaultValue = QStringLiteral("Standard"),
                                          .xpStyleDefault = QStringLiteral("XP"),
                                          .restoredWhenEmpty = true};
// "Visible" or "Invisible": the information menu bar of the start screen.
inline const Setting<QString> MenuBarState {
    .file = "Mbar", .format = formats::Text, .defaultValue = QStringLiteral("Visible")};
// The teacher's password. Read from its file at every test (reread), so a new
// one that could not be written is never in force.
inline const Setting<QString> Password {
    .file = "AdWord", .format = formats::Password, .defaultValue = QStringLiteral("maple")};
// Facts in one drill, 10 to 50. The drill keeps a table of at most 50 used
// values, so a damaged file holding more is lowered just as one holding fewer
// than 10 is raised.
inline int withinDrillTable(int facts)
{
    return std::clamp(facts, 10, 50);
}
inline const Setting<int> FactsCount {.file = "Facts",
                                      .format = formats::WholeNumber,
                                      .defaultValue = 10,
                                      .restoredWhenEmpty = true,
                                      .settle = &withinDrillTable};
// The notice shown at start under Windows Vista.
inline const Setting<bool> VistaNotice {.file = "Vista", .format = formats::Switch, .defaultValue = true};
// Peedy speaks to the students (the channel; the voice's switch is off then).
inline const Setting<bool> PeedyEnabled {.file = "PShow", .format = formats::Switch, .defaultValue = false};
// Peedy stays in sight while the teacher changes settings.
inline const Setting<bool> PeedyTeacher {.file = "PShowT", .format = formats::Switch, .defaultValue = true};
// The plain voice speaks to the students.
inline const Setting<bool> VoiceEnabled {.file = "TTS", .format = formats::Switch, .defaultValue = true};
// Feedback after each fact, comments on the goals and rewards at the end,
// each for Peedy and for the voice.
inline const Setting<bool> PeedyFeedback {.file = "PFback", .format = formats::Switch, .defaultValue = true};
inline const Setting<bool> VoiceFeedback {.file = "VFback", .format = formats::Switch, .defaultValue = true};
inline const Setting<bool> PeedyComments {.file = "PCom", .format = formats::Switch, .defaultValue = true};
inline const Setting<bool> VoiceComments {.file = "VCom", .format = formats::Switch, .defaultValue = true};
inline const Setting<bool> PeedyRewards {.file = "PRew", .format = formats::Switch, .defaultValue = true};
inline const Setting<bool> VoiceRewards {.file = "VRew", .format = formats::Switch, .defaultValue = true};
// Average seconds per fact ("5.0" to "2.0"), kept as the text the teacher
// chose: the score screen and the records show it as it is.
inline const Setting<QString> SpeedGoal {.file = "Sg", .format = formats::Text, .defaultValue = QStringLiteral("5.0")};
// Percent right ("80" to "100"), kept as text as the speed goal is.
inline const Setting<QString> AccuracyGoal {
    .file = "Ag", .format = formats::Text, .defaultValue = QStringLiteral("100")};
// "IntegrateYes": the custom greeting is mixed into the standard ones;
// "IntegrateNo": it replaces them when there is one.
inline const Setting<QString> GreetingMode {
    .file = "MGreet", .format = formats::Text, .defaultValue = QStringLiteral("IntegrateNo")};
// No greeting at start.
inline const Setting<bool> GreetingOff {.file = "NoGreet", .format = formats::Switch, .defaultValue = false};
// The teacher's greeting; commas in it are pauses.
inline const Setting<QString> CustomGreeting {
    .file = "PGreet", .format = formats::JoinedLines, .defaultValue = QString(), .createdEmpty = true};
// The name Peedy adds to greetings and comments: "AllowUserName" leaves it to
// the student's first name, anything else is the teacher's custom name.
inline const Setting<QString> CustomName {
    .file = "PName", .format = formats::Text, .defaultValue = QStringLiteral("AllowUserName")};

// Daily Practice (files of our own): offered to the class.
inline const Setting<bool> PracticeEnabled {.file = "PracOn", .format = formats::Switch, .defaultValue = true};
// The operations it offers, by their log names ("Addition", ...), joined by
// ";" (practice/practicesession.h reads them).
inline const Setting<QString> PracticeOperations {.file = "PracOps",
                                                  .format = formats::JoinedLines,
                                                  .defaultValue =
                                                      QStringLiteral("Addition;Subtraction;Multiplication;Division"),
                                                  .restoredWhenEmpty = true};
// A session's minutes, 2 to 10: no session runs longer than 10 minutes.
inline int withinSessionLimit(int minutes)
{
    return std::clamp(minutes, 2, 10);
}
inline const Setting<int> PracticeLength {.file = "PracMin",
                                          .format = formats::WholeNumber,
                                          .defaultValue = 8,
                                          .restoredWhenEmpty = true,
                                          .settle = &withinSessionLimit};
// 0: a session runs by minutes; else it asks this many facts (at most 200),
// within the 10 minutes all the same.
inline int withinSessionFacts(int facts)
{
    return std::clamp(facts, 0, 200);
}
inline const Setting<int> PracticeFacts {.file = "PracFacts",
                                         .format = formats::WholeNumber,
                                         .defaultValue = 0,
                                         .restoredWhenEmpty = true,
                                         .settle = &withinSessionFacts};

// Every setting, in the order start-up creates and reads the files.
inline const auto All = std::to_array<AnySetting>({
    &DisplayChoice, &PerchStyle,      &MenuBarState,       &Password,       &FactsCount,
    &VistaNotice,   &PeedyEnabled,    &PeedyTeacher,       &VoiceEnabled,   &PeedyFeedback,
    &VoiceFeedback, &PeedyComments,   &VoiceComments,      &PeedyRewards,   &VoiceRewards,
    &SpeedGoal,     &AccuracyGoal,    &GreetingMode,       &GreetingOff,    &CustomGreeting,
    &CustomName,    &PracticeEnabled, &PracticeOperations, &PracticeLength, &PracticeFacts,
});

#pragma GCC diagnostic pop

} // namespace plovista::keys
