#pragma once
// The application object: holds the process's command line and runs the program: start-up
// (language, single instance, logging, scale factor, skin, the main frame and the media
// manager), the start-up window that carries login, conference list and rooms, and the
// shut-down.

#include <QString>
#include <QStringList>

#include <memory>

#include "client/config/StartParam.h"

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

    // The whole run: InitInstance, then ExitInstance; returns the process exit code.
    int Run();
    // Prepares the process and runs the start-up window until the program's work ends.
    // false in every case, as the run is over when it returns.
    bool InitInstance();
    // Releases the managers and flushes the log; returns the exit code.
    int ExitInstance();

    // log4cpp from the data folder: "log4cpp2.properties" when the data folder has no
    // "loglog" entry, else "log4cpp.properties"; then the start-up info lines.
    void ConfigureLogging();

    // True when another instance holds the single-instance lock; otherwise this process
    // holds it from now until it ends.
    bool IsAlreadyRunning();
    // Called when the lock is taken: asks the holder to come to the front; when it does not
    // answer (it is closing) and [appinfo] clientexit is 1, waits up to 30 s for its lock.
    // True when this process holds the lock afterwards.
    bool WaitForClosingInstance();

    const QStringList& Arguments() const { return m_arguments; }

    static constexpr const char* kInstanceName = "Quenmira_7aea7b45-f19c-4093-a061-3fff58e466a7_1";

private:
    QStringList m_arguments;
    std::unique_ptr<yav::SingleInstance> m_instance;
};

// Percent-decoding of a command-line argument: every "%" followed by two hexadecimal digits
// becomes that byte; the bytes are read as UTF-8.
QString UrlDecode(const QString& text);
