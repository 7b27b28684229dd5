// The message box: every type's labels and places at scale 1.0 and 1.5, results of every way
// out, countdowns, the control-request answer given exactly once, the OK actions (only web
// addresses and existing folders are opened), and grabs for review.

#include <QApplication>
#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <optional>

#include "AppSettings.h"
#include "CDlgPopMsg.h"
#include "ConfigManger.h"
#include "SkinGlobals.h"
#include "ToolkitTestSupport.h"
#include "UiFonts.h"
#include "fakes/ui/FakeUiMainFrame.h"
#include "platform/core/Profile.h"
#include "platform/window/GdipText.h"
#include "platform/window/Placement.h"
#include "platform/window/Shell.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

using toolkit_test::ScaleGuard;
using yav::fakes::FakeUiMainFrame;
using yav::testing::ModalAnswer;
using yav::testing::TimerDriver;

const QString kTitle = QString::fromUtf8("云视会议");
const QString kMessage = QString::fromUtf8("确定要退出当前会议吗？");

// Where a button stands for a design rectangle: 5 px (scaled) larger on every side.
QRect Grown(int x, int y, int w, int h) {
    return QRect(yav::Scaled(x) - yav::Scaled(5), yav::Scaled(y) - yav::Scaled(5),
                 yav::Scaled(w) + yav::Scaled(10), yav::Scaled(h) + yav::Scaled(10));
}

struct ButtonSpec {
    int text = 0;  // language id; 0 = hidden
    QRect design;  // (x, y, w, h) in design pixels
};

struct TypeSpec {
    int type;
    ButtonSpec ok;
    ButtonSpec cancel;
    int boxHeight = 150;
    bool largerMessage = false;
};

const QRect kOkPlace(145, 106, 60, 24);
const QRect kCancelPlace(215, 106, 60, 24);
const QRect kLowOk(45, 126, 80, 24);
const QRect kLowRight(175, 126, 80, 24);

const TypeSpec kTypes[] = {
    {0, {760, QRect(215, 106, 60, 24)}, {}},
    {1, {760, kOkPlace}, {763, kCancelPlace}},
    {2, {766, kOkPlace}, {769, kCancelPlace}},
    {3, {1261, QRect(131, 106, 74, 24)}, {13, kCancelPlace}},
    {5, {4, kOkPlace}, {7, kCancelPlace}},
    {6, {4, kOkPlace}, {7, kCancelPlace}},
    {7, {766, kOkPlace}, {769, kCancelPlace}},
    {8, {766, kOkPlace}, {769, kCancelPlace}},
    {9, {4, kOkPlace}, {7, kCancelPlace}},
    {10, {973, QRect(201, 106, 74, 24)}, {}},
    {11, {2461, QRect(118, 106, 90, 24)}, {4, kCancelPlace}},
    {12, {3187, QRect(131, 106, 74, 24)}, {760, kCancelPlace}},
    {13, {973, QRect(201, 106, 74, 24)}, {}, 150, true},
    {14, {3292, kLowOk}, {3289, kLowRight}, 170, true},
    {15, {241, QRect(175, 106, 90, 24)}, {3298, QRect(45, 106, 90, 24)}},
    {16, {3292, kLowOk}, {2899, kLowRight}, 170, true},
    {17, {3292, kLowRight}, {}, 170, true},
    {18, {4, kOkPlace}, {7, kCancelPlace}},
    {19, {4, kOkPlace}, {7, kCancelPlace}},
    {20, {4, kOkPlace}, {7, kCancelPlace}},
    {21, {}, {3298, QRect(175, 106, 90, 24)}},
    {22, {5414, QRect(175, 106, 90, 24)}, {}},
    {23, {4, kOkPlace}, {7, kCancelPlace}},
    {99, {4, kOkPlace}, {7, kCancelPlace}},
};

void ExpectButton(CYavPngButton& button, const ButtonSpec& spec, const std::string& what) {
    if (spec.text == 0) {
        EXPECT_TRUE(button.isHidden()) << what;
        return;
    }
    EXPECT_FALSE(button.isHidden()) << what;
    EXPECT_EQ(button.GetWindowText(), LoadLangString(spec.text)) << what;
    const QRect& d = spec.design;
    EXPECT_EQ(button.geometry(), Grown(d.x(), d.y(), d.width(), d.height())) << what;
}

TEST(PopMsgLayout, EveryTypeAtScaleOneAndOneAndAHalf) {
    for (double scale : {1.0, 1.5}) {
        ScaleGuard guard(scale);
        for (const TypeSpec& spec : kTypes) {
            CDlgPopMsg box(kTitle, kMessage, 0, spec.type, nullptr, 1);
            ASSERT_TRUE(box.Create(CDlgPopMsg::IDD));
            const std::string what =
                "type " + std::to_string(spec.type) + " at " + std::to_string(scale);
            ExpectButton(box.GetOkButton(), spec.ok, what + " OK");
            ExpectButton(box.GetCancelButton(), spec.cancel, what + " Cancel");
            EXPECT_EQ(box.size(), QSize(yav::Scaled(300), yav::Scaled(spec.boxHeight))) << what;
            EXPECT_EQ(box.GetTitleLabel().geometry(), yav::ScaledRect(16, 7, 210, 21)) << what;
            EXPECT_EQ(box.GetTitleLabel().GetWindowText(), kTitle);
            EXPECT_EQ(box.GetMessageLabel().GetWindowText(), kMessage);
            EXPECT_EQ(box.GetMessageLabel().geometry(),
                      yav::ScaledRect(25, 32, 250, spec.boxHeight == 170 ? 85 : 73))
                << what;
            EXPECT_EQ(box.GetMessageLabel().GetFont().pixelSize(),
                      g_fontUI.pixelSize() + (spec.largerMessage ? 2 : 0))
                << what;
            EXPECT_EQ(box.GetCloseButton().geometry(), Grown(276, 9, 16, 15)) << what;
            EXPECT_FALSE(box.GetCloseButton().isHidden()) << what;
            EXPECT_EQ(box.GetMessageLabel().GetHorizontalAlign(), Qt::AlignLeft);
            EXPECT_EQ(box.GetMessageLabel().GetLineAlign(), 1);
        }
    }
}

TEST(PopMsgLayout, TypeFourPaintsItsTextsOnTheBackground) {
    CDlgPopMsg box(kTitle, kMessage, 0, 4, nullptr, 1);
    ASSERT_TRUE(box.Create(CDlgPopMsg::IDD));
    for (QWidget* control : std::initializer_list<QWidget*>{
             &box.GetOkButton(), &box.GetCancelButton(), &box.GetCloseButton(),
             &box.GetTitleLabel(), &box.GetMessageLabel()}) {
        EXPECT_TRUE(control->isHidden());
    }
    const QImage image = box.grab().toImage();
    int dark = 0;
    for (int x = 25; x < 275; ++x) {
        for (int y = 32; y < 105; ++y) {
            dark += image.pixelColor(x, y).lightness() < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20) << "the message is painted in black";
}

TEST(PopMsgLayout, TypeOneTakesCustomLabels) {
    CDlgPopMsg box(kTitle, kMessage, 0, 1, nullptr, 1);
    box.SetExtraTexts(QString::fromUtf8("上传"), LoadLangString(7));
    ASSERT_TRUE(box.Create(CDlgPopMsg::IDD));
    EXPECT_EQ(box.GetOkButton().GetWindowText(), QString::fromUtf8("上传"));
    EXPECT_EQ(box.GetCancelButton().GetWindowText(), LoadLangString(7));
}

TEST(PopMsgLayout, StandsTopMostCentredOnItsParentsScreen) {
    QWidget parent;
    parent.setGeometry(50, 50, 400, 300);
    CDlgPopMsg box(kTitle, kMessage, 0, 2, &parent, 1);
    ModalAnswer answer([&](yav::Dialog& d) {
        const QRect work = yav::ScreenNearest(&parent)->availableGeometry();
        EXPECT_EQ(d.pos(), QPoint(work.left() + (work.width() - d.width()) / 2,
                                  work.top() + (work.height() - d.height()) / 2));
        EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(box.DoModal(), IDOK);
}

// --- results ---

int RunModal(CDlgPopMsg& box, const std::function<void(CDlgPopMsg&)>& act) {
    ModalAnswer answer([&](yav::Dialog& d) {
        act(box);
        if (d.IsRunningModal()) {
            d.EndDialog(77);  // still open: the action did not close it
        }
    });
    return box.DoModal();
}

TEST(PopMsgResults, ButtonsKeysAndCloseButton) {
    struct Case {
        const char* name;
        std::function<void(CDlgPopMsg&)> act;
        int result;
    };
    const Case cases[] = {
        {"OK", [](CDlgPopMsg& b) { b.GetOkButton().click(); }, IDOK},
        {"Cancel", [](CDlgPopMsg& b) { b.GetCancelButton().click(); }, IDCANCEL},
        {"close", [](CDlgPopMsg& b) { b.GetCloseButton().click(); }, IDCANCEL},
        {"keys",
         [](CDlgPopMsg& b) {
             QTest::keyClick(&b, Qt::Key_Escape);
             QTest::keyClick(&b, Qt::Key_Return);
             QTest::keyClick(&b.GetOkButton(), Qt::Key_Space);
             QTest::keyClick(&b.GetCancelButton(), Qt::Key_Return);
         },
         77},
    };
    for (const Case& c : cases) {
        CDlgPopMsg box(kTitle, kMessage, 0, 2, nullptr, 1);
        EXPECT_EQ(RunModal(box, c.act), c.result) << c.name;
    }
}

TEST(PopMsgResults, TypeFourteenCountsDownOnTheCancelButtonAndCancelsAtZero) {
    CDlgPopMsg box(kTitle, kMessage, 10, 14, nullptr, 1);
    std::vector<QString> labels;
    ModalAnswer answer([&](yav::Dialog&) {
        labels.push_back(box.GetCancelButton().GetWindowText());
        EXPECT_EQ(box.GetTimerElapse(CDlgPopMsg::kCountdownTimer), 1000);
        EXPECT_EQ(box.GetCancelButton().geometry(), Grown(175, 126, 88, 24));
        while (TimerDriver::Fire(box, CDlgPopMsg::kCountdownTimer)) {
            labels.push_back(box.GetCancelButton().GetWindowText());
        }
    });
    EXPECT_EQ(box.DoModal(), IDCANCEL);
    ASSERT_EQ(labels.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(labels[static_cast<size_t>(i)],
                  QStringLiteral("%1(%2S)").arg(LoadLangString(3289)).arg(10 - i));
    }
}

TEST(PopMsgResults, OtherTypesConfirmAtZeroWithoutTheirAction) {
    QTemporaryDir photos;
    g_AppSettings.photopath = photos.path();
    int opened = 0;
    const auto previous = yav::shell::SetOpener([&](const QUrl&) { return ++opened > 0; });
    for (int type : {0, 3}) {
        CDlgPopMsg box(kTitle, kMessage, 3, type, nullptr, 1);
        int ticks = 0;
        ModalAnswer answer([&](yav::Dialog&) {
            while (TimerDriver::Fire(box, CDlgPopMsg::kCountdownTimer)) {
                ++ticks;
            }
        });
        EXPECT_EQ(box.DoModal(), IDOK) << type;
        EXPECT_EQ(ticks, 3) << type;
    }
    EXPECT_EQ(opened, 0) << "the countdown does not open the snapshot folder";
    yav::shell::SetOpener(previous);
}

TEST(PopMsgResults, NoCountdownNoCountdownTimer) {
    CDlgPopMsg box(kTitle, kMessage, 0, 14, nullptr, 1);
    ASSERT_TRUE(box.Create(CDlgPopMsg::IDD));
    EXPECT_FALSE(box.IsTimerSet(CDlgPopMsg::kCountdownTimer));
    EXPECT_TRUE(box.IsTimerSet(CDlgPopMsg::kShowTimer));
    EXPECT_EQ(box.GetCancelButton().GetWindowText(), LoadLangString(3289));
}

TEST(PopMsgResults, TypeSevenClosesWhenTheRoomsControlStateChanges) {
    FakeUiMainFrame frame;
    struct Case {
        const char* name;
        void (*change)(FakeUiMainFrame&);
    };
    const Case cases[] = {
        {"first byte 0", [](FakeUiMainFrame& f) { f.controlStateFirst = 0; }},
        {"second byte 1", [](FakeUiMainFrame& f) { f.controlStateSecond = 1; }},
        {"screen control", [](FakeUiMainFrame& f) { f.screenControlState = 2; }},
    };
    for (const Case& c : cases) {
        frame.controlStateFirst = 1;
        frame.controlStateSecond = 0;
        frame.screenControlState = 0;
        CDlgPopMsg box(kTitle, kMessage, 0, 7, nullptr, 1);
        const int result = RunModal(box, [&](CDlgPopMsg& b) {
            TimerDriver::Fire(b, CDlgPopMsg::kStateWatchTimer);
            EXPECT_TRUE(b.IsRunningModal()) << "no change yet: " << c.name;
            c.change(frame);
            TimerDriver::Fire(b, CDlgPopMsg::kStateWatchTimer);
        });
        EXPECT_EQ(result, IDCANCEL) << c.name;
    }
}

// --- the control request (type 8) ---

class ControlRequestBox : public ::testing::Test {
protected:
    void Open(DWORD user) {
        box_.SetParams(kTitle, kMessage, 0, 8, &frame_.mainWindow, 1);
        box_.SetRequestUser(user);
        box_.DestroyWindow();
        ASSERT_TRUE(box_.Create(CDlgPopMsg::IDD, &frame_.mainWindow));
        box_.ShowWindow(SW_SHOW);
    }
    using Answers = std::vector<std::pair<BYTE, WORD>>;

    FakeUiMainFrame frame_;
    CDlgPopMsg box_{&frame_.mainWindow};
};

TEST_F(ControlRequestBox, EachWayOutAnswersExactlyOnce) {
    struct Case {
        const char* name;
        std::function<void(CDlgPopMsg&, FakeUiMainFrame&)> act;
        BYTE accept;
    };
    const Case cases[] = {
        {"OK", [](CDlgPopMsg& box, FakeUiMainFrame&) { box.GetOkButton().click(); }, 1},
        {"Cancel", [](CDlgPopMsg& box, FakeUiMainFrame&) { box.GetCancelButton().click(); }, 0},
        {"close", [](CDlgPopMsg& box, FakeUiMainFrame&) { box.GetCloseButton().click(); }, 0},
        {"connection lost",
         [](CDlgPopMsg& box, FakeUiMainFrame& frame) {
             frame.connectionLost = true;
             TimerDriver::Fire(box, CDlgPopMsg::kRequestWatchTimer);
         },
         0},
        {"another request pending",
         [](CDlgPopMsg& box, FakeUiMainFrame& frame) {
             frame.controlRequest = 1;
             TimerDriver::Fire(box, CDlgPopMsg::kRequestWatchTimer);
         },
         0},
        {"window manager close",
         [](CDlgPopMsg& box, FakeUiMainFrame&) {
             QCloseEvent close;
             QApplication::sendEvent(&box, &close);
         },
         0},
    };
    for (const Case& c : cases) {
        frame_.answers.clear();
        frame_.connectionLost = false;
        frame_.controlRequest = 0;
        Open(31);
        EXPECT_EQ(box_.GetOkButton().GetWindowText(), LoadLangString(766));
        c.act(box_, frame_);
        EXPECT_FALSE(box_.IsWindow()) << c.name << ": the modeless box is gone";
        EXPECT_EQ(frame_.answers, (Answers{{c.accept, 31}})) << c.name;
        box_.DestroyWindow();
        EXPECT_EQ(frame_.answers.size(), 1u) << c.name << ": never a second answer";
    }
}

TEST_F(ControlRequestBox, QuietWatchKeepsTheBoxOpen) {
    Open(31);
    TimerDriver::Fire(box_, CDlgPopMsg::kRequestWatchTimer);
    EXPECT_TRUE(box_.IsWindow());
    EXPECT_TRUE(frame_.answers.empty());
}

TEST_F(ControlRequestBox, ANewRequestRefusesTheOneStillOpen) {
    Open(31);
    Open(45);
    EXPECT_EQ(frame_.answers, (Answers{{0, 31}}));
    box_.GetOkButton().click();
    EXPECT_EQ(frame_.answers, (Answers{{0, 31}, {1, 45}}));
}

TEST_F(ControlRequestBox, NoUserNoAnswer) {
    Open(0);
    box_.GetCancelButton().click();
    EXPECT_TRUE(frame_.answers.empty());
}

// --- what OK opens ---

class PopMsgOpens : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = yav::shell::SetOpener([this](const QUrl& url) {
            opened_.push_back(url);
            return true;
        });
        const std::string ini = g_ConfigManager.GetClientIniPath().toStdString();
        yav::profile::DeleteKey("feedback", "Decodeurl", ini);
        yav::profile::DeleteKey("WPSwebsite", "officialURL", ini);
    }
    void TearDown() override { yav::shell::SetOpener(previous_); }
    void Write(const char* section, const char* key, const char* value) {
        ASSERT_TRUE(yav::profile::WriteString(section, key, value,
                                              g_ConfigManager.GetClientIniPath().toStdString()));
    }
    // Runs a box of the type and presses OK; returns the result.
    int PressOk(int type) {
        CDlgPopMsg box(kTitle, kMessage, 0, type, nullptr, 1);
        return RunModal(box, [](CDlgPopMsg& b) { b.GetOkButton().click(); });
    }

    yav::shell::Opener previous_;
    std::vector<QUrl> opened_;
};

TEST_F(PopMsgOpens, SnapshotFolderDownloadPageAndOfficeSite) {
    QTemporaryDir photos;
    g_AppSettings.photopath = photos.path();
    EXPECT_EQ(PressOk(3), IDOK);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(photos.path()));

    EXPECT_EQ(PressOk(6), IDOK);
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[1].scheme(), QStringLiteral("https"));

    for (int type : {14, 16, 17}) {
        opened_.clear();
        EXPECT_EQ(PressOk(type), IDOK);
        ASSERT_EQ(opened_.size(), 1u) << type;
        EXPECT_EQ(opened_[0], QUrl(QStringLiteral("https://www.wps.cn"))) << "default";
    }
    Write("WPSwebsite", "officialURL", "https://office.example.com/get");
    opened_.clear();
    PressOk(16);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl(QStringLiteral("https://office.example.com/get")));
}

TEST_F(PopMsgOpens, MissingSnapshotFolderOpensNothing) {
    g_AppSettings.photopath = QStringLiteral("/nonexistent/yav/photos");
    EXPECT_EQ(PressOk(3), IDOK);
    EXPECT_TRUE(opened_.empty());
}

TEST_F(PopMsgOpens, FeedbackAddressFromTheIniIsOpenedOnlyWhenItIsAWebAddress) {
    struct Case {
        const char* value;  // null: no key
        bool opens;
    };
    const Case cases[] = {
        {"https://feedback.example.com/form?id=3", true},
        {"http://feedback.example.com", true},
        {nullptr, false},
        {"", false},
        {"calc.exe", false},
        {"/usr/bin/gnome-calculator", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
    };
    const std::string ini = g_ConfigManager.GetClientIniPath().toStdString();
    for (const Case& c : cases) {
        opened_.clear();
        yav::profile::DeleteKey("feedback", "Decodeurl", ini);
        if (c.value != nullptr) {
            Write("feedback", "Decodeurl", c.value);
        }
        EXPECT_EQ(PressOk(11), IDOK) << (c.value ? c.value : "(none)") << ": the box closes";
        EXPECT_EQ(opened_.size(), c.opens ? 1u : 0u) << (c.value ? c.value : "(none)");
    }
}

// --- grabs for review ---

TEST(PopMsgGrab, QuestionAndCountdownBoxes) {
    struct Case {
        int type;
        int countdown;
        double scale;
        const char* message;
        const char* file;
    };
    const Case cases[] = {
        {2, 0, 1.0, "确定要退出当前会议吗？退出后需要重新输入会议号才能再次加入。",
         "popmsg_type2_question"},
        {14, 10, 1.0, "检测到您的电脑没有安装办公软件，共享文档需要安装WPS。是否现在安装？",
         "popmsg_type14_countdown"},
        {0, 0, 1.0, "网络连接已断开，请检查网络设置。", "popmsg_type0_notice"},
        {2, 0, 1.5, "确定要退出当前会议吗？", "popmsg_type2_question_scale150"},
    };
    for (const Case& c : cases) {
        ScaleGuard scale(c.scale);
        CDlgPopMsg box(kTitle, QString::fromUtf8(c.message), c.countdown, c.type, nullptr, 1);
        ASSERT_TRUE(box.Create(CDlgPopMsg::IDD));
        if (c.type == 14) {
            TimerDriver::Fire(box, CDlgPopMsg::kCountdownTimer);  // shows 9
        }
        SCOPED_TRACE(c.file);
        const QImage shot = box.grab().toImage();
        toolkit_test::SaveGrab(&box, QString::fromUtf8(c.file));
        ASSERT_EQ(shot.size(), QSize(yav::Scaled(300), yav::Scaled(c.type == 14 ? 170 : 150)));
        EXPECT_EQ(shot.pixelColor(yav::Scaled(240), 2), yav::ColorFromRef(g_clrCaption));
        // The message is painted in its label.
        const QRect message = box.GetMessageLabel().geometry();
        int ink = 0;
        for (int y = message.top(); y <= message.bottom(); ++y) {
            for (int x = message.left(); x <= message.right(); ++x) {
                ink += shot.pixelColor(x, y).lightness() < 160 ? 1 : 0;
            }
        }
        EXPECT_GT(ink, 20);
        // The question's two buttons and the notice's one show their captions whole (the
        // countdown's included).
        EXPECT_EQ(!box.GetCancelButton().isHidden(), c.type != 0);
        for (CYavPngButton* button : {&box.GetOkButton(), &box.GetCancelButton()}) {
            if (button->isHidden()) {
                continue;
            }
            QString shown;
            for (const yav::gdip::LaidOutLine& line : button->GetCaptionLayout()) {
                shown += line.text;
            }
            EXPECT_EQ(shown, button->GetWindowText());
        }
        if (c.type == 14) {
            EXPECT_TRUE(box.GetCancelButton().GetWindowText().endsWith(QStringLiteral("(9S)")));
        }
    }
}

}  // namespace
