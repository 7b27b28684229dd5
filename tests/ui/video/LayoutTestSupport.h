#pragma once
// Shared pieces of the video tests: the program's text and skin modules, a window that
// records the commands posted to it, and grabs.

#include <QString>

#include <vector>

#include "platform/window/Window.h"

namespace layout_test {

// Loads the program's language and skin modules once.
void LoadModules();

// Stands in for the main window: records the ids of WM_COMMAND messages.
class CommandSink : public yav::Window {
public:
    CommandSink();
    std::vector<int> commands;
};

// Saves <name>_1_0.png or <name>_1_5.png in $YAV_TEST_OUTPUT_DIR; the path, empty on failure.
QString SaveGrab(QWidget& widget, const char* name, double scale);

}  // namespace layout_test
