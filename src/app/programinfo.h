#pragma once

namespace plovista {

// The program's name and version, as the About box and the printed
// worksheets show them.
inline constexpr char ProgramTitle[] = "Plovista";
inline constexpr int ProgramMajorVersion = 7;
inline constexpr int ProgramMinorVersion = 1;

} // namespace plovista
