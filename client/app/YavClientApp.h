#pragma once
// The application object: holds the process's command line and runs its start-up.
// (The foundation part of start-up exists so far: data folder and settings through the
// configuration manager, crash handler, logging, single-instance lock, command line.)

#include <QString>
#include <QStringList>

#include <memory>

#include "StartParam.h"

namespace yav {
class SingleInstance;
}

class CYavClientApp {
public:
    // argv[0] is the program; arguments are taken as UTF-8.
    CYavClientApp(int argc, char** argv);
    explicit CYavClientApp(QStringList arguments);
    ~CYavClientApp();
    CYavClientApp(const CYavClientApp&) = delete;
    CYavClientApp& operator=(const CYavClientApp&) = delete;

    // Fills the zeroed block from the command line: 1 when it asks for a direct join, else 0
    // (the block then stays zero). digestPwd receives the password to hand on as already
    // digested ("bSecret" form), else it is emptied.
    //  - one argument: percent-encoded "key=value" pairs joined by "&" (keys ip, name, pwd,
    //    confid, type, bSecret; exact keys, the first pair of a key wins);
    //  - four or more: address, name, password, conference number[, join type].
    int ParseCommandLine(ST_START_PARAM* block, QString* digestPwd) const;

    // The foundation start-up; returns the process exit code.
    int Run();

    // log4cpp from the data folder: "log4cpp2.properties" when the data folder has no
    // "loglog" entry, else "log4cpp.properties"; then the start-up info lines.
    void ConfigureLogging();

    // True when another instance holds the single-instance lock; otherwise this process
    // holds it from now until it ends.
    bool IsAlreadyRunning();

    const QStringList& Arguments() const { return m_arguments; }

    static constexpr const char* kInstanceName = "Quenmira_7aea7b45-f19c-4093-a061-3fff58e466a7_1";

private:
    QStringList m_arguments;
    std::unique_ptr<yav::SingleInstance> m_instance;
};

// Percent-decoding of a command-line argument: every "%" followed by two hexadecimal digits
// becomes that byte; the bytes are read as UTF-8.
QString UrlDecode(const QString& text);
