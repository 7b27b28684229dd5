#pragma once
// A private world for one configuration-manager test: a program folder with the files the
// test writes, and a user data base ($XDG_DATA_HOME) and temporary base ($TMPDIR) of its own.

#include <cstdlib>
#include <string>

#include "platform/core/Paths.h"
#include "unit/platform/TempDir.h"

namespace yav::testing {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

class AppTestEnv {
public:
    AppTestEnv()
        : dataHome_("XDG_DATA_HOME", root_.Path() + "/share"),
          tmp_("TMPDIR", root_.Path() + "/tmp") {
        std::filesystem::create_directories(root_.Path() + "/program/Update");
        std::filesystem::create_directories(root_.Path() + "/tmp");
        paths::OverrideProgramDir(ProgramDir());
    }
    ~AppTestEnv() { paths::OverrideProgramDir(""); }
    AppTestEnv(const AppTestEnv&) = delete;
    AppTestEnv& operator=(const AppTestEnv&) = delete;

    std::string ProgramDir() const { return root_.Path() + "/program/"; }
    std::string DataBase() const { return root_.Path() + "/share"; }
    std::string TempBase() const { return root_.Path() + "/tmp"; }
    const TempDir& Root() const { return root_; }

    // Writes a file of the program folder.
    std::string WriteProgramFile(const std::string& name, const std::string& text) const {
        return root_.Write("program/" + name, text);
    }

private:
    TempDir root_;
    ScopedEnv dataHome_;
    ScopedEnv tmp_;
};

}  // namespace yav::testing
