#pragma once

#include <QApplication>

#include <memory>
#include <vector>

namespace plovista {

// The program's windows keep their sizes in logical pixels, so at a high
// scale a small screen has too little room for them. Qt takes its scale
// factor only as the application starts: where the primary screen's free area
// is smaller than the windows were laid out for, this ends the application
// and starts the program again in the same process with a scale that leaves
// that room (QT_SCALE_FACTOR, which multiplies whatever scale the desktop
// set). Text and drawings are then drawn at that scale, not enlarged
// afterwards. The program started again finds the variables as they were
// before, so the programs it opens get the desktop's scale. Returns where
// nothing needs to be done, or where the program cannot be started again,
// with an application made anew from `argc` and `argv`. `arguments` is the
// command line as the program was given it, before Qt took its own options
// out, ending in a null.
void fitScaleToScreen(std::unique_ptr<QApplication> &application, const std::vector<char *> &arguments, int &argc,
                      char **argv);

} // namespace plovista
