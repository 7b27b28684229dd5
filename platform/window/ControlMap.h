#pragma once
// Where the program's windows and controls stand on the screen, for tests that drive the
// program from outside it (mouse and keys sent to a real X server, as a person gives them).
//
// With YAV_TEST_CONTROL_MAP naming a file, the program keeps in that file one line for each
// visible top-level window and each visible window or control below it that is a framework
// window (see WindowCore) or has a control id (see ControlId),
// rewritten whenever the picture of them changes (checked every 100 ms). Fields are
// separated by tabs:
//   X window of the top-level (hex, 0 before it has one), 1 when the top-level is the active
//   window, the top-level's class, the parent's class ("-" for a top-level), the widget's
//   class, control id, x, y, width, height (screen pixels), 1 when enabled, its text
//   (tabs and line breaks made spaces).
// Classes are the dynamic C++ class names. Without the variable nothing happens.

#include <QString>

namespace yav {

// Starts keeping the map when the environment asks for it; call once, after the application
// object exists, on the GUI thread.
void StartControlMapFromEnvironment();

// The map's text as it stands now (the file's content).
QString ControlMapText();

}  // namespace yav
