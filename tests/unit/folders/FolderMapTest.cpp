// The folder map's checks run by CMake: an include or a link against the direction fails with a
// line naming the file, what it reaches and why; everything that points down passes. Each case
// writes a small tree of the program's folders and runs the script the build runs on it.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string output;
};

Outcome RunCommand(const std::string& command) {
    Outcome outcome;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        outcome.output += buffer;
    }
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

using Files = std::vector<std::pair<std::string, std::string>>;

// A tree with one file in each folder the cases include.
const Files kTree = {
    {"client/main.cpp", ""},
    {"client/app/YavClientApp.h", ""},
    {"client/conference/XMainFrame.h", ""},
    {"client/dialogs/chat/CDlgChat.h", ""},
    {"client/dialogs/login/CDlgLogin.h", ""},
    {"client/dialogs/users/CDlgUserList.h", ""},
    {"client/dialogs/video/CDlgVideo.h", ""},
    {"client/media/XLayoutManager.h", ""},
    {"client/roomapi/RoomChildren.h", ""},
    {"client/ui/CDlgPopMsg.h", ""},
    {"client/config/ConfigManger.h", ""},
    {"client/Common/XThread.h", ""},
    {"platform/core/Log.h", ""},
    {"platform/window/Window.h", ""},
    {"components/protocol/ByteIo.h", ""},
    {"components/KroMedia/IKroMedia.h", ""},
    {"server/YavServer.h", ""},
};

class FolderMapTree : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
        }
        root = fs::temp_directory_path() / ("yav-folder-map-" + std::to_string(getpid())) / name;
        fs::remove_all(root);
        Write(kTree);
    }
    void TearDown() override { fs::remove_all(root); }

    void Write(const Files& files) {
        for (const auto& [path, text] : files) {
            fs::create_directories((root / path).parent_path());
            std::ofstream(root / path) << text;
        }
    }

    Outcome ScanIncludes() {
        return RunCommand(std::string(YAV_CMAKE_COMMAND) + " -DYAV_SOURCE_ROOT=" + Quoted(root) +
                          " -P " + Quoted(YAV_FOLDER_MAP_SCRIPT));
    }

    fs::path root;
};

struct IncludeCase {
    const char* name;
    Files files;
    // Empty: the tree passes; else every text must be in the failure.
    std::vector<std::string> failure;
};

void PrintTo(const IncludeCase& c, std::ostream* os) {
    *os << c.name;
}

class IncludeDirection : public FolderMapTree, public ::testing::WithParamInterface<IncludeCase> {};

TEST_P(IncludeDirection, PointsDownOrFailsNamingTheInclude) {
    const IncludeCase& c = GetParam();
    Write(c.files);
    const Outcome outcome = ScanIncludes();
    if (c.failure.empty()) {
        EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
        return;
    }
    EXPECT_NE(outcome.exitCode, 0) << "accepted: " << outcome.output;
    for (const std::string& text : c.failure) {
        EXPECT_NE(outcome.output.find(text), std::string::npos)
            << "missing \"" << text << "\" in:\n"
            << outcome.output;
    }
}

const std::string kRoom = "#include \"client/conference/XMainFrame.h\"\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, IncludeDirection,
    ::testing::Values(
        // A window reaches into the room however the include is written; the message names
        // the file and the line.
        IncludeCase{"WindowIncludesTheRoomByPath",
                    {{"client/dialogs/users/A.cpp", "// A window\n\n" + kRoom}},
                    {"client/dialogs/users/A.cpp:3:", "client/conference/XMainFrame.h",
                     "client/dialogs/users lies below client/conference"}},
        IncludeCase{"WindowIncludesTheRoomByBareName",
                    {{"client/dialogs/chat/B.cpp", "#include \"XMainFrame.h\"\n"}},
                    {"client/dialogs/chat/B.cpp:1:", "(client/conference/XMainFrame.h)"}},
        IncludeCase{
            "WindowIncludesTheRoomRelatively",
            {{"client/dialogs/users/C.cpp", "#include \"../../conference/XMainFrame.h\"\n"}},
            {"client/dialogs/users/C.cpp:1:"}},
        IncludeCase{
            "WindowIncludesTheRoomBehindSpaces",
            {{"client/dialogs/video/D.h", "  #  include \"client/conference/XMainFrame.h\"\n"}},
            {"client/dialogs/video/D.h:1:"}},
        IncludeCase{"LayoutManagerIncludesAVideoWindow",
                    {{"client/media/E.cpp", "#include \"dialogs/video/CDlgVideo.h\"\n"}},
                    {"client/media lies below client/dialogs/video"}},
        IncludeCase{"MediaIncludesTheRoom", {{"client/media/F.h", kRoom}}, {"client/media/F.h:1:"}},
        IncludeCase{"ToolkitIncludesTheStartUp",
                    {{"client/ui/G.cpp", "#include \"client/app/YavClientApp.h\"\n"}},
                    {"client/ui lies below client/app"}},
        IncludeCase{"ToolkitIncludesAWindow",
                    {{"client/ui/H.cpp", "#include \"dialogs/login/CDlgLogin.h\"\n"}},
                    {"client/ui/H.cpp:1:"}},
        IncludeCase{"CommonIncludesTheSettings",
                    {{"client/Common/I.cpp", "#include \"config/ConfigManger.h\"\n"}},
                    {"client/Common lies below client/config"}},
        IncludeCase{"PlatformIncludesTheClient",
                    {{"platform/core/J.cpp", "#include \"client/Common/XThread.h\"\n"}},
                    {"platform/ knows no part of the program"}},
        IncludeCase{"PlatformCoreIncludesTheWindowFramework",
                    {{"platform/core/K.cpp", "#include \"platform/window/Window.h\"\n"}},
                    {"platform/core/K.cpp:1:"}},
        IncludeCase{"ComponentIncludesTheClient",
                    {{"components/KroMedia/L.cpp", "#include \"client/media/XLayoutManager.h\"\n"}},
                    {"components/ knows no part of the program"}},
        IncludeCase{"ComponentIncludesTheWindowFramework",
                    {{"components/KroMedia/M.cpp", "#include \"platform/window/Window.h\"\n"}},
                    {"non-GUI parts"}},
        IncludeCase{"ServerIncludesAComponent",
                    {{"server/N.cpp",
                      "#include \"components/KroMedia/IKroMedia.h\"\n"
                      "#include \"components/protocol/ByteIo.h\"\n"}},
                    {"server/N.cpp:1:"}},
        IncludeCase{
            "WindowIncludesTheRoomInAngleBrackets",
            {{"client/dialogs/users/AB.cpp", "#include <client/conference/XMainFrame.h>\n"}},
            {"client/dialogs/users/AB.cpp:1:"}},
        IncludeCase{"ClientIncludesTheServer",
                    {{"client/conference/O.cpp", "#include \"server/YavServer.h\"\n"}},
                    {"over the wire"}},
        IncludeCase{"UserListIncludesAVideoWindow",
                    {{"client/dialogs/users/P.cpp", "#include \"dialogs/video/CDlgVideo.h\"\n"}},
                    {"client/dialogs/users may not include client/dialogs/video"}},
        IncludeCase{"LoginIncludesTheChat",
                    {{"client/dialogs/login/Q.cpp", "#include \"dialogs/chat/CDlgChat.h\"\n"}},
                    {"client/dialogs/login/Q.cpp:1:"}},
        IncludeCase{"ANameTwoFilesEndWith",
                    {{"client/ui/Twin.h", ""},
                     {"client/Common/Twin.h", ""},
                     {"client/config/R.cpp", "#include \"Twin.h\"\n"}},
                    {"client/config/R.cpp:1:", "could be any of", "name its folder"}},
        IncludeCase{"AClientFolderTheMapDoesNotName",
                    {{"client/extras/S.cpp", "#include \"client/Common/XThread.h\"\n"}},
                    {"client/extras is not in the map"}},
        // Everything pointing down passes, and so do includes that are no file of the tree.
        IncludeCase{"StartUpIncludesEverythingBelow",
                    {{"client/main.cpp", "#include \"client/app/YavClientApp.h\"\n"},
                     {"client/app/T.cpp", kRoom + "#include \"client/ui/CDlgPopMsg.h\"\n"}},
                    {}},
        IncludeCase{"RoomIncludesItsWindowsTheirContractsAndTheLayers",
                    {{"client/conference/U.cpp",
                      "#include \"client/dialogs/users/CDlgUserList.h\"\n"
                      "#include \"client/media/XLayoutManager.h\"\n"
                      "#include \"client/roomapi/RoomChildren.h\"\n"
                      "#include \"ui/CDlgPopMsg.h\"\n"
                      "#include \"config/ConfigManger.h\"\n"
                      "#include \"XThread.h\"\n"
                      "#include \"platform/window/Window.h\"\n"
                      "#include \"components/KroMedia/IKroMedia.h\"\n"
                      "#include \"XMainFrame.h\"\n"}},
                    {}},
        IncludeCase{"WindowsUseMediaTheirContractsAndTheToolkit",
                    {{"client/dialogs/panels/V.cpp",
                      "#include \"client/media/XLayoutManager.h\"\n"
                      "#include \"client/roomapi/RoomChildren.h\"\n"
                      "#include \"CDlgPopMsg.h\"\n"},
                     {"client/media/W.cpp", "#include \"client/roomapi/RoomChildren.h\"\n"}},
                    {}},
        IncludeCase{"TheWindowsFoldersArrows",
                    {{"client/dialogs/video/X.cpp", "#include \"dialogs/users/CDlgUserList.h\"\n"},
                     {"client/dialogs/users/Y.cpp", "#include \"dialogs/chat/CDlgChat.h\"\n"}},
                    {}},
        IncludeCase{"CommentsAndOutsideHeaders",
                    {{"client/dialogs/users/Z.cpp", "// " + kRoom +
                                                        "#include <QWidget>\n"
                                                        "#include \"gst/gst.h\"\n"}},
                    {}},
        IncludeCase{"ServerSharesTheProtocolAndThePlatformCore",
                    {{"server/N.cpp",
                      "#include \"components/protocol/ByteIo.h\"\n"
                      "#include \"platform/core/Log.h\"\n"}},
                    {}},
        IncludeCase{"TestsAreNotScanned", {{"tests/ui/room/RoomTest.cpp", kRoom}}, {}}),
    [](const ::testing::TestParamInfo<IncludeCase>& tested) {
        return std::string(tested.param.name);
    });

// The links of the targets are held to the same map when the project is configured.
class LinkDirection : public FolderMapTree {
protected:
    Outcome Configure(const std::string& usersLinks) {
        Write({{"CMakeLists.txt",
                "cmake_minimum_required(VERSION 3.25)\n"
                "project(FolderMapFixture LANGUAGES NONE)\n"
                "include(" +
                    std::string(YAV_FOLDER_MAP_SCRIPT) +
                    ")\n"
                    "add_subdirectory(client/conference)\n"
                    "add_subdirectory(client/dialogs/users)\n"
                    "add_subdirectory(client/config)\n"
                    "yav_check_link_direction()\n"},
               {"client/conference/CMakeLists.txt",
                "add_library(yav_road INTERFACE)\n"
                "target_link_libraries(yav_road INTERFACE yav_dialogs_users yav_config)\n"},
               {"client/config/CMakeLists.txt", "add_library(yav_config INTERFACE)\n"},
               {"client/dialogs/users/CMakeLists.txt",
                "add_library(yav_dialogs_users INTERFACE)\n"
                "target_link_libraries(yav_dialogs_users INTERFACE " +
                    usersLinks + ")\n"}});
        return RunCommand(std::string(YAV_CMAKE_COMMAND) + " -G '" + YAV_CMAKE_GENERATOR + "' -S " +
                          Quoted(root) + " -B " + Quoted(root / "build"));
    }
};

TEST_F(LinkDirection, AWindowLinkingTheRoomStopsTheConfiguration) {
    const Outcome outcome = Configure("yav_config yav_road");
    EXPECT_NE(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("yav_dialogs_users (client/dialogs/users) links yav_road "
                                  "(client/conference)"),
              std::string::npos)
        << outcome.output;
}

TEST_F(LinkDirection, LinksDownTheMapConfigure) {
    const Outcome outcome = Configure("yav_config");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
}

// The program's own sources keep the direction (the build checks it too; this names the
// offending lines in the test report).
TEST(FolderMap, TheProgramsSourcesKeepTheDirection) {
    const Outcome outcome = RunCommand(std::string(YAV_CMAKE_COMMAND) +
                                       " -DYAV_SOURCE_ROOT=" + Quoted(YAV_SOURCE_ROOT) + " -P " +
                                       Quoted(YAV_FOLDER_MAP_SCRIPT));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
}

}  // namespace
