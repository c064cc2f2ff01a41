#pragma once

class QWidget;

namespace plovista {

class App;

// The quit question the student's menus share. On No the menu stays; on Yes
// the menu hides, the start screen comes back and the program ends without
// asking again. Returns whether the program is ending.
bool quitFromMenu(App &app, QWidget &menu);

} // namespace plovista
