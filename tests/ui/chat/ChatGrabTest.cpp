// Grabs of the chat windows at 1.0 and 1.5 for review, each checked for what it must show.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QScrollBar>

#include "FakeChatHost.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/CDlgChat.h"
#include "client/dialogs/chat/CDlgMgrChatGroup.h"
#include "client/dialogs/chat/ChatPayload.h"
#include "platform/core/Scale.h"
#include "tests/ui/login/LoginTestSupport.h"

namespace {

using chat_test::FakeChatHost;
using chat_test::FakeSoundPlayer;
using chat_test::MakeUser;

// Pixels of an area close to a colour.
int PixelsNear(const QImage& image, const QRect& area, QColor colour, int tolerance = 40) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance) {
                ++count;
            }
        }
    }
    return count;
}

class ChatGrab : public ::testing::TestWithParam<double> {
protected:
    QString Name(const char* what) const {
        return QStringLiteral("chat_%1_%2").arg(what).arg(GetParam() == 1.0 ? "100" : "150");
    }
    FakeChatHost host;
};

TEST_P(ChatGrab, ChatWindowWithBubblesNoticesStampsAndScrollBar) {
    login_test::ScaleGuard scale(GetParam());
    host.users = {MakeUser(16, "Me", 0), MakeUser(24, "Bob", 1),
                  MakeUser(32, "A participant with a long name", 1)};
    QWidget parent;
    std::int64_t now = 1'700'000'000;
    CDlgChat::Clocks clocks;
    clocks.now = [&now] { return now; };
    CDlgChat chat(&host, &parent,
                  std::make_unique<FakeSoundPlayer>(std::make_shared<FakeSoundPlayer::Record>()),
                  clocks);
    chat.Create(CDlgChat::IDD, &parent);
    const int w = yav::Scaled(320);
    const int h = yav::Scaled(560);
    parent.resize(w, h);
    chat.MoveWindow(0, 0, w, h);
    chat.ShowWindow(SW_SHOW);
    parent.show();
    chat.RefreshRecipients(3, 3);

    auto receive = [&](std::uint16_t to, std::uint16_t from, const QString& text) {
        const auto block = *yav::usercmd::EncodeChat(text.toStdU16String());
        chat.OnRecvChatMsg(to, from, block.data(), static_cast<std::uint16_t>(block.size()));
    };
    receive(0, 24, "Good morning everyone");
    chat.GetInput().setPlainText("Morning Bob");
    chat.OnSend();
    receive(16, 32, "A private word for you");
    chat.AddNotice(LoadLangString(2851));
    now += 240;
    receive(0, 24,
            "A longer message that does not fit on one line of the bubble and wraps onto "
            "several lines below its header, as long messages do");
    chat.GetRecipientCombo().setCurrentIndex(2);
    chat.GetInput().setPlainText(QString::fromUtf16(u"私聊 reply"));
    chat.OnSend();
    for (int i = 0; i < 3; ++i) {
        receive(0, 24, QStringLiteral("Line %1").arg(i));
    }
    QScrollBar* bar = chat.GetFrame()->verticalScrollBar();
    // The scroll area shows its bar once its queued range notice is handled.
    QCoreApplication::processEvents();
    ASSERT_TRUE(bar->isVisible()) << "the lines overflow the pane";
    EXPECT_EQ(bar->value(), bar->maximum());

    const QImage image = parent.grab().toImage();
    login_test::SaveGrab(&parent, Name("window"));
    EXPECT_EQ(image.size(), QSize(w, h));

    // Each kind of line is there, with its geometry.
    const auto& lines = chat.GetView()->Lines();
    int stamps = 0;
    int wrapped = 0;
    int own = 0;
    int privates = 0;
    for (const auto& line : lines) {
        stamps += line->m_bKind == 1 && line->m_strText.startsWith(' ') ? 1 : 0;
        wrapped += line->m_nLines > 1 ? 1 : 0;
        own += line->m_bOwn;
        privates += line->m_bPrivate;
    }
    EXPECT_EQ(stamps, 2);
    EXPECT_GE(wrapped, 1);
    EXPECT_EQ(own, 2);
    EXPECT_EQ(privates, 1);
    // The last line (others', one line) has its bubble on the left, drawn over the pane.
    const CDlgChatData& last = *lines.back();
    const QRect body = last.BodyRect().translated(last.mapTo(&parent, QPoint(0, 0)));
    EXPECT_LT(body.left(), w / 4);
    EXPECT_GT(grab_pixels::DarkPixels(image, body), 5) << "the text is drawn";
    const QRect beyond(body.right() + 2, body.top(), w / 2 - body.right(), body.height());
    EXPECT_EQ(PixelsNear(image, beyond, QColor(0xF3, 0xF3, 0xF3), 6),
              beyond.width() * beyond.height())
        << "nothing drawn right of a one-line bubble of others";
    // The top of the pane: the first stamp, others', own and private bubbles, a notice.
    bar->setValue(0);
    const QImage top = parent.grab().toImage();
    login_test::SaveGrab(&parent, Name("window_top"));
    const CDlgChatData& stamp = *lines.front();
    ASSERT_EQ(stamp.m_bKind, 1);
    const QRect pill = stamp.BodyRect().translated(stamp.mapTo(&parent, QPoint(0, 0)));
    EXPECT_GE(pill.top(), 0);
    EXPECT_GT(grab_pixels::DarkPixels(top, pill, 160), 5) << "the stamp's text";
    EXPECT_LT(std::abs(pill.center().x() - stamp.mapTo(&parent, stamp.rect().center()).x()), 2)
        << "a notice is centred";

    // The input band and the tool strip.
    const int input = static_cast<int>(h * 0.2);
    EXPECT_GT(PixelsNear(image, QRect(0, h - input - yav::Scaled(40), 4, yav::Scaled(38)),
                         QColor(0xDD, 0xDD, 0xDD), 6),
              0);
}

// Rows of an area holding dark pixels, grouped into runs: the lines of text drawn there.
int TextBands(const QImage& image, const QRect& area) {
    int bands = 0;
    bool inBand = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const bool dark =
            grab_pixels::DarkPixels(image, QRect(area.left(), y, area.width(), 1)) > 0;
        bands += dark && !inBand ? 1 : 0;
        inBand = dark;
    }
    return bands;
}

TEST_P(ChatGrab, APeersLineBreaksKeepEveryLineInsideItsBubble) {
    login_test::ScaleGuard scale(GetParam());
    host.users = {MakeUser(16, "Me", 1), MakeUser(24, "Bob", 1)};
    QWidget parent;
    CDlgChat chat(&host, &parent,
                  std::make_unique<FakeSoundPlayer>(std::make_shared<FakeSoundPlayer::Record>()));
    chat.Create(CDlgChat::IDD, &parent);
    const int w = yav::Scaled(320);
    const int h = yav::Scaled(560);
    parent.resize(w, h);
    chat.MoveWindow(0, 0, w, h);
    chat.ShowWindow(SW_SHOW);
    parent.show();
    chat.RefreshRecipients(3, 3);

    struct Case {
        const char* name;
        QString breakMark;
    };
    const Case cases[] = {{"LF", "\n"}, {"CR LF", "\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList lines = {"First line", "Second line", "Third line"};
        const auto block = chat_test::PeerBlock(lines.join(c.breakMark));
        chat.OnRecvChatMsg(0, 24, block.data(), static_cast<std::uint16_t>(block.size()));
        const CDlgChatData& bubble = *chat.GetView()->Lines().back();
        ASSERT_EQ(bubble.m_bKind, 0);
        EXPECT_EQ(bubble.m_nLines, 3);
        EXPECT_EQ(bubble.m_wHeight, 2 * yav::Scaled(36) + 2 * yav::Scaled(18));
        QCoreApplication::processEvents();

        const QImage image = parent.grab().toImage();
        login_test::SaveGrab(&parent,
                             Name(c.breakMark.size() == 1 ? "line_breaks_lf" : "line_breaks_crlf"));
        // The text stands inside the body, right of the pointer's inset: three separate lines.
        const QRect body = bubble.BodyRect().translated(bubble.mapTo(&parent, QPoint(0, 0)));
        ASSERT_TRUE(parent.rect().contains(body)) << "the bubble is in view";
        const QRect text = body.adjusted(yav::Scaled(23), 1, -5, -1);
        EXPECT_EQ(TextBands(image, text), 3);
        // Nothing of the text is cut at the bubble's bottom: its last rows are clear.
        EXPECT_EQ(
            grab_pixels::DarkPixels(image, QRect(text.left(), body.bottom() - 2, text.width(), 3)),
            0);
    }
}

TEST_P(ChatGrab, SystemPane) {
    login_test::ScaleGuard scale(GetParam());
    CDlgSystemChat pane;
    pane.Create(CDlgSystemChat::IDD, nullptr);
    pane.MoveWindow(0, 0, yav::Scaled(300), yav::Scaled(400));
    pane.ShowWindow(SW_SHOW);
    pane.AddSystemMessage(LoadLangString(505));
    pane.AddSystemMessage("<b>not bold</b>");
    const QImage image = pane.grab().toImage();
    login_test::SaveGrab(&pane, Name("system_pane"));
    EXPECT_EQ(image.size(), QSize(yav::Scaled(300), yav::Scaled(400)));
    const QRect text = pane.GetTextView().geometry();
    EXPECT_GT(PixelsNear(image, text, QColor(0, 0, 255), 120), 20) << "blue lines";
    EXPECT_GT(PixelsNear(image, text, QColor(0x32, 0x32, 0x32), 60), 20) << "grey headers";
}

TEST_P(ChatGrab, ChatGroupDialog) {
    login_test::ScaleGuard scale(GetParam());
    host.users = {MakeUser(16, "Chair", 0), MakeUser(24, "Ann", 1, 7), MakeUser(32, "Bob", 1, 7),
                  MakeUser(40, "Cid", 1)};
    CDlgMgrChatGroup dialog(&host);
    dialog.Create(CDlgMgrChatGroup::IDD, nullptr);
    dialog.ShowWindow(SW_SHOW);
    dialog.RefreshLists();
    const QImage image = dialog.grab().toImage();
    login_test::SaveGrab(&dialog, Name("groups"));
    EXPECT_EQ(image.size(), QSize(yav::Scaled(542), yav::Scaled(494)));
    EXPECT_GT(grab_pixels::DarkPixels(image, dialog.GetMemberList().geometry()), 10)
        << "member names";
    EXPECT_EQ(dialog.GetMemberList().count(), 2);
    // The two captioned buttons show their whole text.
    for (int id : {CDlgMgrChatGroup::IDC_NEW_GROUP, CDlgMgrChatGroup::IDC_DISSOLVE}) {
        auto* button = dynamic_cast<CYavPngButton*>(dialog.GetDlgItem(id));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(login_test::ShownCaption(*button), button->GetWindowText()) << id;
    }
    // ... and draw it: white on the new-group button's blue, grey on the dissolve button.
    const QRect newGroup = dialog.GetDlgItem(CDlgMgrChatGroup::IDC_NEW_GROUP)->geometry();
    const QRect dissolve = dialog.GetDlgItem(CDlgMgrChatGroup::IDC_DISSOLVE)->geometry();
    EXPECT_GT(PixelsNear(image, newGroup.adjusted(6, 6, -6, -6), QColor(255, 255, 255), 30), 10);
    EXPECT_GT(PixelsNear(image, dissolve.adjusted(6, 6, -6, -6), QColor(0x88, 0x88, 0x88), 60), 10);
}

TEST_P(ChatGrab, SoundPanelWithOneRowLit) {
    login_test::ScaleGuard scale(GetParam());
    CDlgPopClap panel(
        &host, nullptr,
        std::make_unique<FakeSoundPlayer>(std::make_shared<FakeSoundPlayer::Record>()),
        [] { return 0U; });
    panel.Create(CDlgPopClap::IDD, nullptr);
    panel.MoveWindow(0, 0, yav::Scaled(142), yav::Scaled(171));
    panel.PlayClap(0);
    const QImage& image = panel.GetComposition();
    image.save(
        QDir(qEnvironmentVariable("YAV_TEST_OUTPUT_DIR")).filePath(Name("sound_panel") + ".png"));
    EXPECT_EQ(image.size(), QSize(yav::Scaled(142), yav::Scaled(171)));
    const QColor blue(51, 133, 237);
    const QColor grey(118, 118, 118);
    for (int i = 0; i < 4; ++i) {
        const QRect row = panel.Row(i).geometry();
        SCOPED_TRACE(i);
        if (i == 2) {
            EXPECT_GT(PixelsNear(image, row, blue, 60), 5);
        } else {
            EXPECT_EQ(PixelsNear(image, row, blue, 30), 0);
            EXPECT_GT(PixelsNear(image, row, grey, 60), 5);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ChatGrab, ::testing::Values(1.0, 1.5));

}  // namespace
