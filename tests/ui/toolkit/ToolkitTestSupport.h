#pragma once
// Shared set-up of the toolkit tests: the test language and skin modules are loaded once for
// the program, the display scale can be changed for one test, and grabs are saved for review.

#include <QString>

#include "platform/window/Scaled.h"

class QWidget;

namespace toolkit_test {

// Sets the display scale (and the skin metrics that follow it) for one test.
class ScaleGuard {
public:
    explicit ScaleGuard(double scale);
    ~ScaleGuard();
    ScaleGuard(const ScaleGuard&) = delete;
    ScaleGuard& operator=(const ScaleGuard&) = delete;

private:
    double saved_;
};

// Saves a grab of the window as <name>.png in $YAV_TEST_OUTPUT_DIR; returns the path (empty
// when nothing could be written).
QString SaveGrab(QWidget* window, const QString& name);

}  // namespace toolkit_test
