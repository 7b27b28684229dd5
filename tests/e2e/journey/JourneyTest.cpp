// The room's user journey as two people go through it: yavserver and two real client processes
// on synthetic devices share one X server with a window manager (openbox), and every step is
// the input a person gives, sent with xdotool to the screen coordinates of the controls (as the
// clients report them in their control maps). Each step checks what the screen (a grab) or
// the wire shows and saves its grab.
//
// The chair (Chair) and the member (Member) enter the conference; both broadcast their camera on
// entry. The wire is watched by a tap between the clients and yavserver (the server announces
// the tap's address as its conference and media address), which counts each sender's RTP by
// SSRC: that is how "no video leaves the client" is measured, with the other participant's
// video packets as the clock.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ControlMapFile.h"
#include "Desktop.h"
#include "JourneyStep.h"
#include "Person.h"
#include "ScreenReading.h"
#include "WireTap.h"
#include "client/config/ConfigManger.h"
#include "e2e/road/RoadProcess.h"
#include "platform/core/Profile.h"

namespace {

using journey_e2e::BluePixels;
using journey_e2e::Control;
using journey_e2e::ControlMapFile;
using journey_e2e::DarkPixels;
using journey_e2e::Desktop;
using journey_e2e::Person;
using journey_e2e::PixelsOf;
using journey_e2e::ReadSyntheticPicture;
using journey_e2e::Step;
using journey_e2e::SyntheticPicture;
using journey_e2e::WireTap;

constexpr char kTapAddress[] = "127.0.0.2";
using journey_e2e::kServerAddress;
// From a client's start to its room, and for a stream's packets to come (sanitizer builds are
// slow).
constexpr int kEnterMs = 60000;
// From an input to what it changes on the screen or the wire.
constexpr int kAnswerMs = 15000;
// From a room's entry to the pictures of the others in it.
constexpr int kVideoMs = 30000;
// Packets of the other participant's video that pass while an answer may still be on its way
// (frames already encoded when the camera went off), then while nothing may pass.
constexpr std::uint64_t kGracePackets = 60;
constexpr std::uint64_t kQuietPackets = 300;
// How long a control's place must stay the same in the map (which the program refreshes every
// 100 ms) before it is clicked.
constexpr qint64 kSettledMs = 200;

constexpr QRgb kBarDark = 0x333333;
constexpr int kRowHeight = 25;  // a participant row, design pixels (scale 1 here)

// Texts of the chair's participant menu, by their ids in the language module.
constexpr int kTextMakePresenter = 1303;
constexpr int kTextBroadcastVideo = 1315;
constexpr int kTextStopBroadcast = 2788;
constexpr int kNoText = 999999;

std::uint32_t VideoSsrc(std::uint16_t mediaId) {
    return 0x59000000u | (1u << 16) | mediaId;
}

class Journey : public ::testing::Test {
protected:
    void SetUp() override {
        road_e2e::CoreApplication();
        if (const QString missing = Desktop::MissingTools(); !missing.isEmpty()) {
            GTEST_SKIP() << "missing: " << missing.toStdString();
        }
        ASSERT_TRUE(desktop.Start()) << desktop.Error().toStdString();
        static const bool texts = (g_ConfigManager.LoadLanguage(), true);
        // Menu items are found by their texts: the language module must be there.
        ASSERT_TRUE(texts);
        ASSERT_NE(LoadLangString(kTextMakePresenter), LoadLangString(kNoText))
            << "no language module beside the program";
        StartServer();
    }

    void TearDown() override {
        member.Stop();
        chair.Stop();
        road_e2e::Stop(server);
    }

    // yavserver with one conference (one chair account, one member, a camera broadcast on
    // entry), announcing the tap's address; the tap forwards to it and counts.
    void StartServer() {
        ASSERT_TRUE(serverHome.isValid());
        const std::string ini = (serverHome.path() + "/server.ini").toStdString();
        yav::profile::WriteString("account.chair", "Password", "chair", ini);
        yav::profile::WriteString("account.chair", "Name", "Chair", ini);
        yav::profile::WriteString("account.member", "Password", "member", ini);
        yav::profile::WriteString("account.member", "Name", "Member", ini);
        yav::profile::WriteString("conference.900001", "Name", "Demo", ini);
        yav::profile::WriteString("conference.900001", "Chairs", "chair", ini);
        yav::profile::WriteString("conference.900001", "AppFlags25", "8", ini);
        serverLog = serverHome.path() + "/server.log";
        const QString portFile = serverHome.path() + "/ports";
        server.setProgram(QDir::currentPath() + "/yavserver");
        server.setArguments({"--ini", QString::fromStdString(ini), "--bind", kServerAddress,
                             "--announce", kTapAddress, "--ds-port", "0", "--cs-port", "0",
                             "--probe-port", "0", "--media-port", "0", "--port-file", portFile,
                             "--log-config",
                             road_e2e::ServerFileLogConfig(serverHome.path(), serverLog)});
        server.setProcessChannelMode(QProcess::ForwardedChannels);
        server.start();
        ASSERT_TRUE(yav::testing::WaitUntil([&] { return QFile::exists(portFile); }, 10000))
            << "yavserver did not start";
        QFile file(portFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList ports = QString::fromUtf8(file.readAll()).split(' ', Qt::SkipEmptyParts);
        ASSERT_EQ(ports.size(), 4);
        dsPort = ports[0].toInt();
        const auto csPort = static_cast<std::uint16_t>(ports[1].toInt());
        const auto mediaPort = static_cast<std::uint16_t>(ports[3].toInt());
        tap = std::make_unique<WireTap>(kTapAddress, kServerAddress);
        ASSERT_TRUE(tap->ForwardTcp(csPort, false)) << "the tap cannot take " << kTapAddress;
        ASSERT_TRUE(tap->ForwardTcp(mediaPort, true));
        ASSERT_TRUE(tap->ForwardUdp(mediaPort));
        tap->Start();
    }

    QString ServerLog() const {
        QFile file(serverLog);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // The user id yavserver gave the person's latest entry (0 before it joined).
    std::uint16_t JoinedId(const Person& person) const {
        const QRegularExpression joined(
            QStringLiteral(R"(user (\d+) \(%1\) joined)").arg(person.Name()));
        std::uint16_t id = 0;
        for (auto it = joined.globalMatch(ServerLog()); it.hasNext();) {
            id = static_cast<std::uint16_t>(it.next().captured(1).toUInt());
        }
        return id;
    }

    // --- the screen ---

    void Save(const QImage& grab, const QString& name) const {
        const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
        if (!folder.isEmpty() && !grab.isNull() && QDir().mkpath(folder)) {
            grab.save(folder + "/journey_" + name + ".png");
        }
    }

    // Grabs the screen until `shows` holds of the grab (at most limitMs); the last grab is
    // saved under `name` and returned.
    QImage GrabWhen(const std::function<bool(const QImage&)>& shows, const QString& name,
                    int limitMs = kAnswerMs) {
        QImage grab;
        yav::testing::WaitUntil(
            [&] {
                grab = desktop.Grab();
                return !grab.isNull() && shows(grab);
            },
            limitMs);
        Save(grab, name);
        return grab;
    }

    // Brings the person's room to the front, as a click on it in a task bar would.
    bool Front(const Person& person) {
        const std::optional<Control> room = person.Room();
        return room.has_value() && desktop.Activate(room->xWindow);
    }

    // Waits until `find` gives a control where the screen shows it (at most limitMs). A window
    // shown anew is placed by the window manager a moment later, and on the way its place may
    // be reported as the corner of the screen: a control is taken once the map gave the same
    // place over a few of its refreshes.
    std::optional<Control> WaitSettled(const std::function<std::optional<Control>()>& find,
                                       int limitMs) {
        std::optional<Control> seen;
        QElapsedTimer unchanged;
        const bool settled = yav::testing::WaitUntil(
            [&] {
                const std::optional<Control> found = find();
                if (!found.has_value()) {
                    seen.reset();
                    return false;
                }
                if (!seen.has_value() || seen->rect != found->rect ||
                    seen->xWindow != found->xWindow) {
                    seen = found;
                    unchanged.start();
                    return false;
                }
                return unchanged.elapsed() >= kSettledMs;
            },
            limitMs);
        return settled ? seen : std::nullopt;
    }
    // Waits until the person's control map holds a visible control, settled where the screen
    // shows it.
    std::optional<Control> WaitControl(const Person& person, const QString& parent, int id,
                                       int limitMs = kAnswerMs) {
        return WaitSettled([&] { return person.Map().Find(parent, id); }, limitMs);
    }
    std::optional<Control> WaitText(const Person& person, const QString& parent,
                                    const QString& text, int limitMs = kAnswerMs) {
        return WaitSettled([&] { return person.Map().FindText(parent, text); }, limitMs);
    }

    // Where the screen shows a control. The map gives places as the program knows them; a
    // top-level shown again after it was hidden may be placed by the window manager without
    // the program learning of it (it then takes itself for standing in the screen's corner),
    // so the X server says where the control's top-level stands.
    QPoint Where(const Person& person, const Control& control) const {
        for (const Control& top : person.Map().Read()) {
            if (top.IsTopLevel() && top.xWindow == control.xWindow) {
                const std::optional<QPoint> origin = desktop.WindowOrigin(control.xWindow);
                return origin.has_value() ? control.Centre() + (*origin - top.rect.topLeft())
                                          : control.Centre();
            }
        }
        return control.Centre();
    }

    // Clicks a control where the person's screen shows it.
    ::testing::AssertionResult ClickControl(const Person& person, const QString& parent, int id,
                                            int button = 1) {
        const std::optional<Control> control = WaitControl(person, parent, id);
        if (!control.has_value()) {
            return ::testing::AssertionFailure()
                   << person.Name().toStdString() << ": no " << parent.toStdString() << " " << id
                   << " on the screen";
        }
        if (!desktop.Click(Where(person, *control), button)) {
            return ::testing::AssertionFailure() << "xdotool could not click";
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult ClickText(const Person& person, const QString& parent,
                                         const QString& text) {
        const std::optional<Control> control = WaitText(person, parent, text);
        if (!control.has_value()) {
            return ::testing::AssertionFailure()
                   << person.Name().toStdString() << ": no \"" << text.toStdString() << "\" in a "
                   << parent.toStdString();
        }
        return desktop.Click(Where(person, *control)) ? ::testing::AssertionSuccess()
                                                      : ::testing::AssertionFailure() << "no click";
    }

    std::vector<Control> Tiles(const Person& person) const {
        return person.Map().All(QStringLiteral("XMainFrame"), QStringLiteral("CDlgVideo"));
    }

    // The synthetic camera picture of `mediaId` in one of the person's video windows.
    std::optional<SyntheticPicture> Showing(const QImage& grab, const Person& person,
                                            std::uint16_t mediaId) const {
        for (const Control& tile : Tiles(person)) {
            const std::optional<SyntheticPicture> picture = ReadSyntheticPicture(grab, tile.rect);
            if (picture.has_value() && picture->mediaId == mediaId) {
                return picture;
            }
        }
        return std::nullopt;
    }

    // The person's room in front, showing the other's camera in a video window with the
    // picture moving (its frame counter advances between two grabs).
    ::testing::AssertionResult SeesVideoOf(Person& viewer, const Person& shown, const QString& name,
                                           int limitMs = kAnswerMs) {
        if (!Front(viewer)) {
            return ::testing::AssertionFailure() << viewer.Name().toStdString() << " not in front";
        }
        std::optional<SyntheticPicture> first;
        GrabWhen(
            [&](const QImage& grab) {
                return (first = Showing(grab, viewer, shown.id)).has_value();
            },
            name, limitMs);
        if (!first.has_value()) {
            return ::testing::AssertionFailure()
                   << viewer.Name().toStdString() << " shows no picture of " << shown.id
                   << " in its " << Tiles(viewer).size() << " video windows";
        }
        std::optional<SyntheticPicture> later;
        const bool moving = yav::testing::WaitUntil(
            [&] {
                later = Showing(desktop.Grab(), viewer, shown.id);
                return later.has_value() && later->counter > first->counter;
            },
            kAnswerMs);
        if (!moving) {
            return ::testing::AssertionFailure() << "the picture of " << shown.id << " at "
                                                 << viewer.Name().toStdString() << " stands still";
        }
        return ::testing::AssertionSuccess();
    }

    // --- the participant panel ---

    std::optional<Control> Tree(const Person& person) const {
        return person.Map().Find(QStringLiteral("CDlgUserList"), 1055);
    }
    // A row of a participant tree: where its name is written, and where its video mark is.
    static QRect RowText(const Control& tree, int row) {
        return QRect(tree.rect.left() + 25, tree.rect.top() + 1 + row * kRowHeight, 120,
                     kRowHeight);
    }
    static QRect RowVideoMark(const Control& tree, int row) {
        return QRect(tree.rect.right() - 34, tree.rect.top() + 1 + row * kRowHeight, 34,
                     kRowHeight);
    }
    static int RowsWithText(const QImage& grab, const Control& tree) {
        int rows = 0;
        for (int row = 0; row < 6; ++row) {
            rows += DarkPixels(grab, RowText(tree, row)) > 20 ? 1 : 0;
        }
        return rows;
    }
    static bool MarkShows(const QImage& grab, const Control& tree, int row) {
        return BluePixels(grab, RowVideoMark(tree, row)) > 20;
    }

    // The person's room with its bars: the control bar across the top, the status bar at the
    // bottom left, the participant panel on the right, all inside the room.
    static ::testing::AssertionResult HasBars(const Person& person, const QRect& room) {
        const auto first = [&](const char* name) {
            const std::vector<Control> found =
                person.Map().All(QStringLiteral("XMainFrame"), QString::fromLatin1(name));
            return found.empty() ? std::optional<Control>() : found.front();
        };
        const std::optional<Control> top = person.Room();
        const std::optional<Control> bar = first("CDlgControlBar");
        const std::optional<Control> status = first("CDlgStatusBar");
        const std::optional<Control> panel = first("CDlgUserList");
        if (!top.has_value() || !bar.has_value() || !status.has_value() || !panel.has_value()) {
            return ::testing::AssertionFailure() << "a bar or the panel is not shown";
        }
        if (top->rect != room || bar->rect != QRect(room.left(), room.top(), room.width(), 70) ||
            status->rect.bottom() != room.bottom() || panel->rect.right() != room.right() ||
            panel->rect.top() != room.top() + 70) {
            return ::testing::AssertionFailure()
                   << "room " << top->rect.x() << "," << top->rect.y() << " " << top->rect.width()
                   << "x" << top->rect.height() << ", control bar y " << bar->rect.y() << " h "
                   << bar->rect.height() << ", status bottom " << status->rect.bottom()
                   << ", panel " << panel->rect.x() << "," << panel->rect.y();
        }
        return ::testing::AssertionSuccess();
    }

    // The status bar's separator strip: shown only along the shown status bar, 4 pixels high
    // from 2 above its top edge, as wide as the bar.
    static std::vector<Control> Separators(const Person& person) {
        std::vector<Control> found;
        for (const Control& control : person.Map().Read()) {
            if (control.className == QStringLiteral("CDlgPopSPL")) {
                found.push_back(control);
            }
        }
        return found;
    }
    static bool SeparatorAlongStatusBar(const Person& person) {
        const std::vector<Control> bars =
            person.Map().All(QStringLiteral("XMainFrame"), QStringLiteral("CDlgStatusBar"));
        const std::vector<Control> separators = Separators(person);
        if (bars.size() != 1 || separators.size() != 1) {
            return false;
        }
        const QRect bar = bars.front().rect;
        const QRect separator = separators.front().rect;
        return separator.left() == bar.left() && separator.width() == bar.width() &&
               separator.top() == bar.top() - 2 && separator.height() == 4;
    }

    Desktop desktop;
    QTemporaryDir serverHome;
    QString serverLog;
    QProcess server;
    int dsPort = 0;
    std::unique_ptr<WireTap> tap;
    Person chair{QStringLiteral("chair"), QStringLiteral("Chair")};
    Person member{QStringLiteral("member"), QStringLiteral("Member")};
};

TEST_F(Journey, TwoPeopleGoThroughTheRoom) {
    const QRect screen(0, 0, road_e2e::kScreenW, road_e2e::kScreenH);
    const QString room = QStringLiteral("XMainFrame");

    {
        const Step step(__FILE__, __LINE__, "1. both enter the conference");
        for (Person* person : {&chair, &member}) {
            ASSERT_TRUE(person->Start(desktop.DisplayName(), dsPort));
            ASSERT_TRUE(yav::testing::WaitUntil(
                [&] {
                    return person->Log().contains("login data server over") &&
                           person->Room().has_value() &&
                           person->Map().Find("CDlgControlBar", 1305).has_value();
                },
                kEnterMs))
                << person->Name().toStdString() << "\n"
                << person->Log().toStdString();
            person->id = JoinedId(*person);
            ASSERT_NE(person->id, 0);
        }
        for (Person* person : {&chair, &member}) {
            ASSERT_TRUE(Front(*person));
            const auto counter = [&] {
                const auto online = person->Map().Find("CDlgUserList", 1042);
                return online.has_value() && online->text.endsWith("(2)");
            };
            EXPECT_TRUE(yav::testing::WaitUntil(counter, kAnswerMs))
                << person->Name().toStdString() << " does not count two participants";
            const QRect roomRect = person->Room()->rect;
            EXPECT_TRUE(HasBars(*person, roomRect));
            const QImage grab = GrabWhen(
                [&](const QImage& g) {
                    return PixelsOf(g, QRect(0, 0, roomRect.width(), 28), kBarDark) > 5000;
                },
                "01_entered_" + person->Name().toLower());
            // The dark band of the control bar across the top; both rows in the tree.
            EXPECT_GT(PixelsOf(grab, QRect(0, 0, roomRect.width(), 28), kBarDark), 5000);
            const auto tree = Tree(*person);
            ASSERT_TRUE(tree.has_value());
            EXPECT_EQ(RowsWithText(grab, *tree), 2) << person->Name().toStdString();
        }
    }

    {
        const Step step(__FILE__, __LINE__, "2. each sees the other's video");
        EXPECT_TRUE(SeesVideoOf(chair, member, "02_chair_sees_member", kVideoMs));
        EXPECT_TRUE(SeesVideoOf(member, chair, "02_member_sees_chair", kVideoMs));
    }

    {
        const Step step(__FILE__, __LINE__, "3. the chair picks the four-window layout");
        ASSERT_TRUE(Front(chair));
        // Only the presenter sets the layout: the chair makes itself presenter from its own row.
        const auto tree = Tree(chair);
        ASSERT_TRUE(tree.has_value());
        const QString presenterButton =
            chair.Map().Find("CDlgStatusBar", 1251).value_or(Control()).text;
        ASSERT_TRUE(desktop.Click(RowText(*tree, 0).center(), 3));
        EXPECT_TRUE(ClickText(chair, "CDlgPopSwitch", LoadLangString(kTextMakePresenter)));
        EXPECT_TRUE(yav::testing::WaitUntil(
            [&] {
                const auto button = chair.Map().Find("CDlgStatusBar", 1251);
                return button.has_value() && button->text != presenterButton;
            },
            kAnswerMs))
            << "the chair did not become presenter";

        ASSERT_TRUE(ClickControl(chair, "CDlgControlBar", 1305));
        EXPECT_TRUE(ClickControl(chair, "CDlgConfLayout", 1310));
        EXPECT_TRUE(ClickControl(chair, "CDlgLayout", 1319));
        const bool four =
            yav::testing::WaitUntil([&] { return Tiles(chair).size() == 4; }, kAnswerMs);
        const QImage grab =
            GrabWhen([&](const QImage&) { return Tiles(chair).size() == 4; }, "03_four_windows", 0);
        EXPECT_TRUE(four) << "the chair's room shows " << Tiles(chair).size() << " video windows";
        if (four) {
            // Four equal windows, two by two, the member's picture in one of them.
            const std::vector<Control> tiles = Tiles(chair);
            std::set<int> columns;
            std::set<int> rows;
            for (const Control& tile : tiles) {
                // An odd video area leaves a pixel of difference between the halves.
                EXPECT_LE(std::abs(tile.rect.width() - tiles[0].rect.width()), 1);
                EXPECT_LE(std::abs(tile.rect.height() - tiles[0].rect.height()), 1);
                columns.insert(tile.rect.left());
                rows.insert(tile.rect.top());
            }
            EXPECT_EQ(columns.size(), 2u);
            EXPECT_EQ(rows.size(), 2u);
            EXPECT_TRUE(Showing(grab, chair, member.id).has_value());
        }
        EXPECT_FALSE(chair.Map().TopLevel("CDlgLayout").has_value()) << "the picker stays open";
        // Leave the pickers closed for what follows (the button shuts an open picker).
        if (chair.Map().TopLevel("CDlgConfLayout").has_value()) {
            ClickControl(chair, "CDlgControlBar", 1305);
        }
    }

    {
        const Step step(__FILE__, __LINE__,
                        "4. the member enters full screen and leaves it, by the strip and by Esc");
        ASSERT_TRUE(Front(member));
        const QRect before = member.Room()->rect;
        ASSERT_TRUE(HasBars(member, before));
        EXPECT_TRUE(
            yav::testing::WaitUntil([&] { return SeparatorAlongStatusBar(member); }, kAnswerMs))
            << "the status bar's separator strip is not along the bar";
        // Full screen: the room covers the screen without its bars, nor the status bar's
        // separator strip over the videos.
        const auto fullScreen = [&] {
            const auto top = member.Room();
            return top.has_value() && top->rect == screen &&
                   member.Map().All(room, "CDlgControlBar").empty() &&
                   member.Map().All(room, "CDlgStatusBar").empty() && Separators(member).empty();
        };
        const auto back = [&] {
            return HasBars(member, before) && SeparatorAlongStatusBar(member);
        };
        const auto barsShown = [&](const QImage& grab) {
            return PixelsOf(grab, QRect(0, 0, before.width(), 28), kBarDark) > 5000;
        };

        ASSERT_TRUE(ClickControl(member, "CDlgControlBar", 1034));
        EXPECT_TRUE(yav::testing::WaitUntil(fullScreen, kAnswerMs))
            << "no full screen (" << Separators(member).size() << " separator strips shown)";
        // The strip comes down over the room, 10 pixels below the top of the screen (when it
        // went up already, its tab brings it down), with its blue exit button on the screen.
        // The pointer rests on the strip so that it stays out.
        desktop.MovePointer(QPoint(screen.width() / 2, 40));
        const auto stripOut = [&] {
            const auto strip = member.Map().TopLevel("CDlgFullDockX");
            return strip.has_value() && strip->rect.top() == 10;
        };
        const auto tab = [&] { return member.Map().Find("CDlgExpand", 1388); };
        ASSERT_TRUE(
            yav::testing::WaitUntil([&] { return stripOut() || tab().has_value(); }, kAnswerMs))
            << "neither the strip nor its tab";
        if (!stripOut()) {
            ASSERT_TRUE(ClickControl(member, "CDlgExpand", 1388));
            desktop.MovePointer(QPoint(screen.width() / 2, 40));
        }
        ASSERT_TRUE(yav::testing::WaitUntil(stripOut, kAnswerMs)) << "the strip does not come";
        const std::optional<Control> exit = WaitControl(member, "CDlgFullDockX", 1291);
        ASSERT_TRUE(exit.has_value()) << "no exit button on the strip";
        const QImage strip = GrabWhen(
            [&](const QImage& grab) {
                return BluePixels(grab, exit->rect) > exit->rect.width() * 10;
            },
            "04_full_screen_strip");
        EXPECT_GT(BluePixels(strip, exit->rect), exit->rect.width() * 10)
            << "the strip's exit button is not on the screen";
        EXPECT_LT(PixelsOf(strip, QRect(0, 0, screen.width(), 28), kBarDark), 1000)
            << "the control bar is still on the screen";
        ASSERT_TRUE(desktop.Click(Where(member, *exit)));
        const bool leftByStrip = yav::testing::WaitUntil(back, kAnswerMs);
        EXPECT_TRUE(leftByStrip) << "the strip's exit button did not leave full screen: "
                                 << HasBars(member, before).message();
        if (leftByStrip) {
            const QImage grab = GrabWhen(barsShown, "04_left_by_strip");
            EXPECT_TRUE(barsShown(grab));
            // Again, and out with Esc.
            ASSERT_TRUE(ClickControl(member, "CDlgControlBar", 1034));
            EXPECT_TRUE(yav::testing::WaitUntil(fullScreen, kAnswerMs))
                << "no full screen (" << Separators(member).size() << " separator strips shown)";
        }
        ASSERT_TRUE(desktop.Key("Escape"));
        const bool leftByEsc = yav::testing::WaitUntil(back, kAnswerMs);
        EXPECT_TRUE(leftByEsc) << "Esc did not leave full screen: "
                               << HasBars(member, before).message();
        const QImage grab = GrabWhen(barsShown, "04_left_by_esc", leftByEsc ? kAnswerMs : 0);
        if (leftByEsc) {
            EXPECT_TRUE(barsShown(grab));
        }
    }

    {
        const Step step(__FILE__, __LINE__, "5. the chair opens and closes the participant search");
        ASSERT_TRUE(Front(chair));
        ASSERT_TRUE(ClickControl(chair, "CDlgUserList", 1041));
        const auto edit = WaitControl(chair, "CDlgUserList", 1312);
        ASSERT_TRUE(edit.has_value()) << "no search bar";
        ASSERT_TRUE(desktop.Click(Where(chair, *edit)));
        ASSERT_TRUE(desktop.Type(member.Name()));
        // The search's own tree lists the one participant found.
        const auto found = WaitControl(chair, "CDlgUserList", 1057);
        ASSERT_TRUE(found.has_value()) << "no search result";
        const QImage grab = GrabWhen([&](const QImage& g) { return RowsWithText(g, *found) == 1; },
                                     "05_search_open");
        EXPECT_EQ(RowsWithText(grab, *found), 1);
        EXPECT_EQ(chair.Map().Find("CDlgUserList", 1312).value_or(Control()).text, member.Name());
        EXPECT_FALSE(chair.Map().Find("CDlgUserList", 1055).has_value());

        ASSERT_TRUE(ClickControl(chair, "CDlgUserList", 1041));
        EXPECT_TRUE(yav::testing::WaitUntil(
            [&] { return !chair.Map().Find("CDlgUserList", 1312).has_value(); }, kAnswerMs))
            << "the search bar stays";
        const auto tree = WaitControl(chair, "CDlgUserList", 1055);
        ASSERT_TRUE(tree.has_value());
        const QImage closed = GrabWhen([&](const QImage& g) { return RowsWithText(g, *tree) == 2; },
                                       "05_search_closed");
        EXPECT_EQ(RowsWithText(closed, *tree), 2);
    }

    {
        const Step step(__FILE__, __LINE__, "6. the chair sends a chat line the member shows");
        const QString line = QStringLiteral("journey line %1").arg(chair.id);
        ASSERT_TRUE(ClickControl(chair, "CDlgUserList", 1038));
        ASSERT_TRUE(ClickControl(chair, "CDlgChat", 1325));
        ASSERT_TRUE(desktop.Type(line));
        ASSERT_TRUE(desktop.Key("Return"));
        // The member's chat window took it from the chair (its log names sender and text).
        const QRegularExpression shown(
            QStringLiteral("发送id:%1-%2 .*内容:%3").arg(chair.id).arg(chair.Name(), line));
        EXPECT_TRUE(yav::testing::WaitUntil([&] { return shown.match(member.Log()).hasMatch(); },
                                            kAnswerMs))
            << member.Log().right(3000).toStdString();
        // The chair's own page shows the line as a bubble with its text.
        std::optional<Control> bubble;
        const QImage grab = GrabWhen(
            [&](const QImage& g) {
                const std::vector<Control> bubbles =
                    chair.Map().All("CDlgChatShow", "CDlgChatData");
                bubble = bubbles.empty() ? std::nullopt : std::optional(bubbles.back());
                return bubble.has_value() && DarkPixels(g, bubble->rect) > 50;
            },
            "06_chat_line");
        ASSERT_TRUE(bubble.has_value()) << "no bubble at the chair";
        EXPECT_GT(DarkPixels(grab, bubble->rect), 50) << "the bubble shows no text";
        ASSERT_TRUE(ClickControl(chair, "CDlgUserList", 1039));
    }

    {
        const Step step(__FILE__, __LINE__,
                        "7. the chair broadcasts the member from the member's row");
        ASSERT_TRUE(Front(chair));
        const auto tree = WaitControl(chair, "CDlgUserList", 1055);
        ASSERT_TRUE(tree.has_value());
        // Row 0 is the chair itself, row 1 the member; both broadcast since they entered.
        QImage grab = GrabWhen(
            [&](const QImage& g) { return MarkShows(g, *tree, 0) && MarkShows(g, *tree, 1); },
            "07_before");
        ASSERT_TRUE(MarkShows(grab, *tree, 1)) << "the member's broadcast mark is not shown";
        ASSERT_TRUE(MarkShows(grab, *tree, 0));

        // Off: the member's mark goes, the chair's stays.
        ASSERT_TRUE(desktop.Click(RowText(*tree, 1).center(), 3));
        EXPECT_TRUE(ClickText(chair, "CDlgPopSwitch", LoadLangString(kTextStopBroadcast)));
        grab = GrabWhen([&](const QImage& g) { return !MarkShows(g, *tree, 1); }, "07_member_off");
        EXPECT_FALSE(MarkShows(grab, *tree, 1)) << "the member is still broadcast";
        EXPECT_TRUE(MarkShows(grab, *tree, 0)) << "the chair's own broadcast was stopped";

        // On again from the same pop-up: the member's mark shows, its picture is back.
        ASSERT_TRUE(desktop.Click(RowText(*tree, 1).center(), 3));
        EXPECT_TRUE(ClickText(chair, "CDlgPopSwitch", LoadLangString(kTextBroadcastVideo)));
        grab = GrabWhen(
            [&](const QImage& g) {
                return MarkShows(g, *tree, 1) && Showing(g, chair, member.id).has_value();
            },
            "07_member_broadcast");
        EXPECT_TRUE(MarkShows(grab, *tree, 1)) << "the member's broadcast mark does not show";
        EXPECT_TRUE(MarkShows(grab, *tree, 0));
        EXPECT_TRUE(Showing(grab, chair, member.id).has_value())
            << "the member's picture is in none of the chair's " << Tiles(chair).size()
            << " video windows";
        // A pop-up left open goes with a click on the status bar between its two groups of
        // buttons, where it has none.
        if (chair.Map().TopLevel("CDlgPopSwitch").has_value()) {
            const QRect area = chair.Room()->rect;
            desktop.Click(QPoint(area.left() + 530, area.bottom() - 22));
        }
    }

    {
        const Step step(__FILE__, __LINE__,
                        "8. the chair's camera button stops its video on the wire, and starts it");
        ASSERT_TRUE(Front(chair));
        const std::uint32_t own = VideoSsrc(chair.id);
        const std::uint32_t clock = VideoSsrc(member.id);
        const auto after = [&](std::uint64_t packets) {
            const std::uint64_t start = tap->RtpFrom(clock);
            return yav::testing::WaitUntil([&] { return tap->RtpFrom(clock) >= start + packets; },
                                           kEnterMs);
        };
        // Both cameras send now.
        const std::uint64_t sending = tap->RtpFrom(own);
        ASSERT_TRUE(after(kGracePackets))
            << "the member's video is not on the wire: " << tap->Summary();
        ASSERT_GT(tap->RtpFrom(own), sending) << tap->Summary();

        const auto camera = WaitControl(chair, "CDlgStatusBar", 1047);
        ASSERT_TRUE(camera.has_value());
        const QRect icon = camera->rect;
        desktop.MovePointer(QPoint(screen.width() / 2, screen.height() / 2));
        const QImage on = GrabWhen([](const QImage&) { return true; }, "08_camera_on", 0);
        ASSERT_TRUE(desktop.Click(Where(chair, *camera)));
        desktop.MovePointer(QPoint(screen.width() / 2, screen.height() / 2));
        const QImage off = GrabWhen([&](const QImage& g) { return g.copy(icon) != on.copy(icon); },
                                    "08_camera_off");
        EXPECT_NE(off.copy(icon), on.copy(icon)) << "the camera button does not show off";
        ASSERT_TRUE(after(kGracePackets)) << tap->Summary();
        const std::uint64_t stopped = tap->RtpFrom(own);
        ASSERT_TRUE(after(kQuietPackets)) << tap->Summary();
        EXPECT_EQ(tap->RtpFrom(own), stopped)
            << "video RTP left the chair with its camera off: " << tap->Summary();

        ASSERT_TRUE(ClickControl(chair, "CDlgStatusBar", 1047));
        EXPECT_TRUE(
            yav::testing::WaitUntil([&] { return tap->RtpFrom(own) >= stopped + 10; }, kEnterMs))
            << "no video after the camera came back on: " << tap->Summary();
        EXPECT_TRUE(SeesVideoOf(member, chair, "08_member_sees_chair_again"));
    }

    {
        const Step step(__FILE__, __LINE__,
                        "9. the chair leaves and enters again; the room comes back with video");
        ASSERT_TRUE(Front(chair));
        ASSERT_TRUE(ClickControl(chair, "CDlgControlBar", 1036));
        ASSERT_TRUE(ClickControl(chair, "CDlgPopMsg", 1));  // yes, leave
        const auto entry = WaitControl(chair, "CDlgConfListChild", 6, kEnterMs);
        ASSERT_TRUE(entry.has_value()) << "no conference list";
        // The list instead of the room, with the conference's name written in its entry.
        const auto demo = WaitText(chair, "CDlgConfListChild", "Demo");
        ASSERT_TRUE(demo.has_value()) << "the list has no entry \"Demo\"";
        const QImage list = GrabWhen(
            [&](const QImage& g) {
                return !chair.Room().has_value() && DarkPixels(g, demo->rect) > 20;
            },
            "09_list");
        EXPECT_FALSE(chair.Room().has_value()) << "the room stays after leaving";
        EXPECT_GT(DarkPixels(list, demo->rect), 20) << "the entry's name is not on the screen";
        const std::uint16_t before = chair.id;
        ASSERT_TRUE(desktop.Click(Where(chair, *entry)));
        ASSERT_TRUE(yav::testing::WaitUntil(
            [&] {
                chair.id = JoinedId(chair);
                return chair.id != before && chair.Map().Find("CDlgControlBar", 1305).has_value();
            },
            kEnterMs))
            << "the chair did not enter again";
        EXPECT_TRUE(SeesVideoOf(chair, member, "09_chair_sees_member", kVideoMs));
        EXPECT_TRUE(SeesVideoOf(member, chair, "09_member_sees_chair", kVideoMs));
    }

    {
        const Step step(__FILE__, __LINE__, "10. both close the program, which ends cleanly");
        for (Person* person : {&member, &chair}) {
            EXPECT_TRUE(person->Stop())
                << person->Name().toStdString() << " ended with status " << person->ExitCode();
        }
        // No room is left on the screen: no control bar's dark band across the top.
        const auto noBar = [&](const QImage& g) {
            return PixelsOf(g, QRect(0, 0, screen.width(), 28), kBarDark) < 100;
        };
        EXPECT_TRUE(noBar(GrabWhen(noBar, "10_closed")));
    }
}

}  // namespace
