#pragma once
// Logging on log4cpp. Every line goes to category "YavClient" in the frame
// "[file:line] <message>", where file is the source file's base name. Messages are UTF-8.

#include <string>

namespace yav::log {

enum class Level { Debug, Info, Warn, Error, Fatal };

// The category every line of the program is written to.
inline constexpr const char* kCategory = "YavClient";

// printf-style; a format that cannot be expanded is logged as it stands.
void Write(Level level, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// The framed text "[base-name:line] <message>" (exposed for tests and for callers that
// need the line without writing it).
std::string Frame(const char* file, int line, const std::string& message);

// Configures log4cpp from a properties file; what the file names replaces what was set
// before, the rest stays. False when the file cannot be read or is malformed: the set-up
// before it stays (a basic console set-up when there was none). Either way the held lines
// (below) are written then.
bool ConfigureFromFile(const std::string& propertiesPath);

// Every line at `threshold` and above goes to standard error, one line each with its time and
// level: the set-up of a program that has no logging file of its own (yavserver).
void ConfigureStandardError(Level threshold);

// From now until the next configuration, lines are kept in memory (up to 1000) instead of
// written: for work that runs before the program has configured its logging. Does nothing
// once a configuration was loaded.
void HoldUntilConfigured();
bool IsHolding();

// Writes the held lines to the category as it is configured now and logs directly from then on.
void FlushPending();

// Flushes and closes every appender (the program's last logging call).
void Shutdown();

}  // namespace yav::log

#define YLOG_DEBUG(...) ::yav::log::Write(::yav::log::Level::Debug, __FILE__, __LINE__, __VA_ARGS__)
#define YLOG_INFO(...) ::yav::log::Write(::yav::log::Level::Info, __FILE__, __LINE__, __VA_ARGS__)
#define YLOG_WARN(...) ::yav::log::Write(::yav::log::Level::Warn, __FILE__, __LINE__, __VA_ARGS__)
#define YLOG_ERROR(...) ::yav::log::Write(::yav::log::Level::Error, __FILE__, __LINE__, __VA_ARGS__)
#define YLOG_FATAL(...) ::yav::log::Write(::yav::log::Level::Fatal, __FILE__, __LINE__, __VA_ARGS__)
