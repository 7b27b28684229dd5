#pragma once
// Captures the lines written to the program's log category while it exists.

#include <memory>
#include <string>
#include <vector>

namespace fakes {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> Lines() const;
    // True when some line contains the text.
    bool Contains(const std::string& text) const;
    size_t CountContaining(const std::string& text) const;

private:
    class Appender;
    Appender* appender_;  // owned by the category while attached
};

}  // namespace fakes
