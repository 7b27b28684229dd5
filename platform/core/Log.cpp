#include "Log.h"

#include <unistd.h>
#include <log4cpp/BasicConfigurator.hh>
#include <log4cpp/Category.hh>
#include <log4cpp/Configurator.hh>
#include <log4cpp/FileAppender.hh>
#include <log4cpp/PatternLayout.hh>
#include <log4cpp/PropertyConfigurator.hh>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace yav::log {
namespace {

const char* BaseName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

std::string Format(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int needed = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (needed < 0) {
        return format;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        return std::string(small, static_cast<size_t>(needed));
    }
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    std::vsnprintf(big.data(), big.size(), format, args);
    return std::string(big.data(), static_cast<size_t>(needed));
}

log4cpp::Priority::Value ToPriority(Level level) {
    switch (level) {
        case Level::Debug:
            return log4cpp::Priority::DEBUG;
        case Level::Info:
            return log4cpp::Priority::INFO;
        case Level::Warn:
            return log4cpp::Priority::WARN;
        case Level::Error:
            return log4cpp::Priority::ERROR;
        case Level::Fatal:
            return log4cpp::Priority::FATAL;
    }
    return log4cpp::Priority::INFO;
}

// Lines written while held (the client's configuration manager works before its start-up
// configures log4cpp) are kept and written once a configuration is loaded.
constexpr size_t kMaxPendingLines = 1000;

struct Pending {
    std::mutex mutex;
    std::vector<std::pair<log4cpp::Priority::Value, std::string>> lines;
    std::atomic<bool> holding{false};
    std::atomic<bool> configuredOnce{false};
};

Pending& PendingLines() {
    static Pending* pending = new Pending;  // never destroyed: logging may run during exit
    return *pending;
}

}  // namespace

std::string Frame(const char* file, int line, const std::string& message) {
    std::string framed = "[";
    framed += BaseName(file);
    framed += ":";
    framed += std::to_string(line);
    framed += "] <";
    framed += message;
    framed += ">";
    return framed;
}

void Write(Level level, const char* file, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = Format(format, args);
    va_end(args);
    Pending& pending = PendingLines();
    if (pending.holding.load()) {
        std::lock_guard lock(pending.mutex);
        if (pending.holding.load()) {
            if (pending.lines.size() < kMaxPendingLines) {
                pending.lines.emplace_back(ToPriority(level), Frame(file, line, message));
            }
            return;
        }
    }
    log4cpp::Category::getInstance(kCategory).log(ToPriority(level), Frame(file, line, message));
}

void HoldUntilConfigured() {
    Pending& pending = PendingLines();
    if (!pending.configuredOnce.load()) {
        pending.holding = true;
    }
}

bool IsHolding() {
    return PendingLines().holding.load();
}

void FlushPending() {
    Pending& pending = PendingLines();
    std::lock_guard lock(pending.mutex);
    pending.holding = false;
    pending.configuredOnce = true;
    for (const auto& [priority, text] : pending.lines) {
        log4cpp::Category::getInstance(kCategory).log(priority, text);
    }
    pending.lines.clear();
}

namespace {

std::mutex& ConfigureMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

bool ConfigureFromFile(const std::string& propertiesPath) {
    std::lock_guard lock(ConfigureMutex());
    try {
        log4cpp::PropertyConfigurator::configure(propertiesPath);
        FlushPending();
        return true;
    } catch (const log4cpp::ConfigureFailure& failure) {
        // A set-up made before (the server's standard error) is kept; without one the
        // warning must still reach somebody.
        if (log4cpp::Category::getRoot().getAllAppenders().empty()) {
            log4cpp::BasicConfigurator::configure();
        }
        log4cpp::Category::getInstance(kCategory).warn(
            Frame(__FILE__, __LINE__, std::string("log configuration failed: ") + failure.what()));
        FlushPending();
        return false;
    }
}

void ConfigureStandardError(Level threshold) {
    std::lock_guard lock(ConfigureMutex());
    log4cpp::Category& root = log4cpp::Category::getRoot();
    root.removeAllAppenders();
    root.setPriority(ToPriority(threshold));
    // A duplicate of the descriptor: the appender closes its own when it is removed.
    auto* appender = new log4cpp::FileAppender("stderr", ::dup(STDERR_FILENO));
    auto* layout = new log4cpp::PatternLayout();
    layout->setConversionPattern("%d{%Y-%m-%d %H:%M:%S.%l} %-5p %m%n");
    appender->setLayout(layout);
    root.addAppender(appender);
    FlushPending();
}

void Shutdown() {
    log4cpp::Category::shutdown();
}

}  // namespace yav::log
