#pragma once
// Collects the lines written to the program's log category while it lives.

#include <log4cpp/Category.hh>
#include <log4cpp/StringQueueAppender.hh>

#include <string>
#include <vector>

#include "platform/core/Log.h"

namespace yav::testing {

class LogCapture {
public:
    LogCapture() : appender_(new log4cpp::StringQueueAppender("capture")) {
        yav::log::FlushPending();
        auto& category = log4cpp::Category::getInstance(yav::log::kCategory);
        category.setPriority(log4cpp::Priority::DEBUG);
        category.addAppender(appender_);  // the category owns it
    }
    ~LogCapture() { log4cpp::Category::getInstance(yav::log::kCategory).removeAppender(appender_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    size_t Count() const { return appender_->queueSize(); }
    std::string Last() const {
        return appender_->getQueue().empty() ? std::string() : appender_->getQueue().back();
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (auto queue = appender_->getQueue(); !queue.empty(); queue.pop()) {
            lines.push_back(queue.front());
        }
        return lines;
    }
    // True when some line contains the text.
    bool Contains(const std::string& text) const {
        for (const std::string& line : Lines()) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

private:
    log4cpp::StringQueueAppender* appender_;
};

}  // namespace yav::testing
