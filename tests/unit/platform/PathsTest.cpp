#include "platform/core/Paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "unit/platform/TempDir.h"

namespace {

using yav::testing::TempDir;
namespace paths = yav::paths;

// Sets an environment variable for one scope and restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

TEST(Paths, ProgramDirIsFolderOfTheExecutable) {
    const std::string dir = paths::ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(access((dir + paths::FileName(paths::ProgramFile())).c_str(), X_OK), 0);
}

TEST(Paths, UserDataBaseFollowsXdgThenHome) {
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(paths::UserDataBase(), "/srv/data");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/ignored");
        ScopedEnv home("HOME", "/home/tester");
        EXPECT_EQ(paths::UserDataBase(), "/home/tester/.local/share");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", "/home/other");
        EXPECT_EQ(paths::UserDataBase(), "/home/other/.local/share");
    }
}

TEST(Paths, RuntimeDirFallsBackToPrivateTempFolder) {
    TempDir dir;
    ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv tmp("TMPDIR", dir.Path().c_str());
    const std::string runtimeDir = paths::RuntimeDir();
    EXPECT_EQ(runtimeDir, dir.Path() + "/yav-" + std::to_string(getuid()));
    struct stat st {};
    ASSERT_EQ(stat(runtimeDir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// The usual temporary folder name taken by something that is not a private folder of this
// user (a link planted by someone else, another user's folder) is never handed out: the
// program's data and its instance lock would otherwise live where others can reach them.
class PathsForeignTempFolder : public ::testing::TestWithParam<const char*> {};

TEST_P(PathsForeignTempFolder, IsReplacedByAFreshPrivateFolder) {
    TempDir dir;
    ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv tmp("TMPDIR", dir.Path().c_str());
    const std::string usual = dir.Path() + "/yav-" + std::to_string(getuid());
    const std::string kind = GetParam();
    if (kind == "link") {
        ASSERT_EQ(mkdir(dir.File("elsewhere").c_str(), 0777), 0);
        ASSERT_EQ(symlink(dir.File("elsewhere").c_str(), usual.c_str()), 0);
    } else {
        ASSERT_EQ(mkdir(usual.c_str(), 0777), 0);
        if (chown(usual.c_str(), getuid() + 4242, getgid()) != 0) {
            GTEST_SKIP() << "handing a folder to another user needs root";
        }
    }
    const std::string chosen = paths::UserTempDir();
    EXPECT_NE(chosen, usual);
    EXPECT_EQ(chosen.rfind(usual + "-", 0), 0u) << chosen;
    struct stat st {};
    ASSERT_EQ(lstat(chosen.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, getuid());
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The same folder for the rest of the process, also as the runtime folder.
    EXPECT_EQ(paths::UserTempDir(), chosen);
    EXPECT_EQ(paths::RuntimeDir(), chosen);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PathsForeignTempFolder,
                         ::testing::Values("link", "otherUsersFolder"));

TEST(Paths, OwnTempFolderOpenToOthersIsClosed) {
    TempDir dir;
    ScopedEnv tmp("TMPDIR", dir.Path().c_str());
    const std::string usual = dir.Path() + "/yav-" + std::to_string(getuid());
    ASSERT_EQ(mkdir(usual.c_str(), 0700), 0);
    ASSERT_EQ(chmod(usual.c_str(), 0777), 0);
    EXPECT_EQ(paths::UserTempDir(), usual);
    struct stat st {};
    ASSERT_EQ(stat(usual.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(Paths, CaseInsensitiveLookupOfMissingName) {
    TempDir dir;
    dir.Write("skin.ini", "x");
    EXPECT_EQ(paths::ResolveCaseInsensitive(dir.File("Skin.ini")), dir.File("skin.ini"));
    EXPECT_EQ(paths::ResolveCaseInsensitive(dir.File("skin.ini")), dir.File("skin.ini"));
    EXPECT_EQ(paths::ResolveCaseInsensitive(dir.File("nothing.ini")), dir.File("nothing.ini"));
    EXPECT_TRUE(paths::Exists(dir.File("SKIN.INI")));
    EXPECT_FALSE(paths::Exists(dir.File("skin.ini.bak")));
    // An exact match is preferred over a case variant.
    dir.Write("Skin.ini", "y");
    EXPECT_EQ(paths::ResolveCaseInsensitive(dir.File("Skin.ini")), dir.File("Skin.ini"));
}

TEST(Paths, WindowsPathRules) {
    EXPECT_EQ(paths::FromWindows("Update\\upgrade.ini"), "Update/upgrade.ini");
    EXPECT_TRUE(paths::IsAbsolute("D:\\Rec"));
    EXPECT_TRUE(paths::IsAbsolute("/home/u/rec"));
    EXPECT_FALSE(paths::IsAbsolute("D:"));
    EXPECT_FALSE(paths::IsAbsolute("rec\\files"));
    EXPECT_EQ(paths::WithTrailingSlash("/a/b//"), "/a/b/");
    EXPECT_EQ(paths::WithTrailingSlash("/"), "/");
    EXPECT_EQ(paths::FileName("/a/b.ini"), "b.ini");
    EXPECT_EQ(paths::DirName("/a/b.ini"), "/a/");
    EXPECT_EQ(paths::DirName("b.ini"), "");
}

}  // namespace
