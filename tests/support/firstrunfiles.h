#pragma once

// Every settings file of a first run, as the program must write it, for the
// settings' own tests and the whole program's. Header only: core tests use it
// as well as window tests.

#include <QByteArray>

#include <utility>
#include <vector>

namespace plovista::test {

inline const std::vector<std::pair<const char *, QByteArray>> FirstRunFiles = {
    {"Display", "DontChange\r\n"},
    {"Perch", "Standard\r\n"},
    {"Mbar", "Visible\r\n"},
    {"Facts", " 10 \r\n"},
    {"Vista", "True\r\n"},
    {"PShow", "False\r\n"},
    {"PShowT", "True\r\n"},
    {"TTS", "True\r\n"},
    {"PFback", "True\r\n"},
    {"VFback", "True\r\n"},
    {"PCom", "True\r\n"},
    {"VCom", "True\r\n"},
    {"PRew", "True\r\n"},
    {"VRew", "True\r\n"},
    {"Sg", "5.0\r\n"},
    {"Ag", "100\r\n"},
    {"MGreet", "IntegrateNo\r\n"},
    {"NoGreet", "False\r\n"},
    {"PGreet", ""},
    {"PName", "AllowUserName\r\n"},
    {"PracOn", "True\r\n"},
    {"PracOps", "Addition;Subtraction;Multiplication;Division\r\n"},
    {"PracMin", " 8 \r\n"},
    {"PracFacts", " 0 \r\n"},
};

} // namespace plovista::test
