// KroUpd: the updater the client starts when a conference server offers a newer version.
// Usage: KroUpd [description file]; without an argument it reads "Update/upgrade.ini" of the
// folder it is started in.

#include <QCoreApplication>

#include <cstdio>
#include <string>

#include "UpgradeCheck.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string iniPath = argc > 1 ? std::string(argv[1]) : std::string("Update/upgrade.ini");
    const kroupd::RunResult run = kroupd::Run(iniPath, 30000);
    for (const std::string& line : run.lines) {
        std::fprintf(run.outcome == kroupd::Outcome::Invalid ||
                             run.outcome == kroupd::Outcome::ChecksumMismatch
                         ? stderr
                         : stdout,
                     "%s\n", line.c_str());
    }
    return static_cast<int>(run.outcome);
}
