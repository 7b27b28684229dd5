#include "LogCapture.h"

#include <log4cpp/AppenderSkeleton.hh>
#include <log4cpp/Category.hh>

#include <mutex>

#include "platform/core/Log.h"

namespace fakes {

class LogCapture::Appender : public log4cpp::AppenderSkeleton {
public:
    Appender() : log4cpp::AppenderSkeleton("fakes-log-capture") {}
    void close() override {}
    bool requiresLayout() const override { return false; }
    void setLayout(log4cpp::Layout* layout) override { delete layout; }

    std::vector<std::string> Lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

protected:
    void _append(const log4cpp::LoggingEvent& event) override {
        std::lock_guard lock(mutex_);
        lines_.push_back(event.message);
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

LogCapture::LogCapture() : appender_(new Appender) {
    // Lines held until the program configures its logging would otherwise never arrive here.
    yav::log::FlushPending();
    auto& category = log4cpp::Category::getInstance(yav::log::kCategory);
    category.setPriority(log4cpp::Priority::DEBUG);
    category.addAppender(appender_);
}

LogCapture::~LogCapture() {
    log4cpp::Category::getInstance(yav::log::kCategory).removeAppender(appender_);
}

std::vector<std::string> LogCapture::Lines() const {
    return appender_->Lines();
}

bool LogCapture::Contains(const std::string& text) const {
    return CountContaining(text) > 0;
}

size_t LogCapture::CountContaining(const std::string& text) const {
    size_t count = 0;
    for (const auto& line : appender_->Lines()) {
        if (line.find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

}  // namespace fakes
