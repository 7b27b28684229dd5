// The video window: what its frame sink does with pictures, what it paints, its context
// pop-up, zoom, touch, keys, snapshots, cycle switches and its camera pad.

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTouchEvent>

#include "VideoTestSupport.h"
#include "client/dialogs/video/CDlgCameraCtrl.h"
#include "client/dialogs/video/CDlgUserName.h"
#include "client/dialogs/video/CDlgVideoStatus.h"
#include "client/ui/CButtonCheck.h"
#include "client/ui/CDlgPopMsg.h"
#include "client/ui/CDlgPopSwitch.h"
#include "client/ui/CYavPngButton.h"

namespace video_test {
namespace {

using yav::testing::ModalAnswer;
using yav::testing::TimerDriver;

class VideoWindow : public VideoFixture {};

// The mouse moves over the window without a button held.
void Hover(QWidget& window, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(window.mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
}

// ---- frame sink ---------------------------------------------------------------------------

TEST_F(VideoWindow, ManyPicturesBeforeARepaintAskForOneRepaintAndTheLatestWins) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    const QRgb colours[] = {0xFF110000, 0xFF002200, 0xFF000033, 0xFF444444, 0xFF5500AA};
    for (const QRgb colour : colours) {
        Push(window.GetFrameSink(), 17, Solid(64, 48, colour));
    }
    EXPECT_EQ(window.GetRepaintRequests(), 1u);
    EXPECT_EQ(window.GetLatestFrame().pixel(10, 10), colours[4]);
    QApplication::processEvents();
    Push(window.GetFrameSink(), 17, Solid(64, 48, colours[0]));
    EXPECT_EQ(window.GetRepaintRequests(), 2u);
}

TEST_F(VideoWindow, PicturesOfAnotherStreamAreNotShown) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    Push(window.GetFrameSink(), 25, Solid(64, 48, 0xFFFF0000));
    EXPECT_EQ(window.GetRepaintRequests(), 0u);
    EXPECT_TRUE(window.GetLatestFrame().isNull());
    // Malformed pictures are refused.
    const QImage image = Solid(64, 48, 0xFF00FF00);
    window.GetFrameSink()->OnFrame({17, 64, 48, 10, image.constBits(), nullptr});
    window.GetFrameSink()->OnFrame({17, 0, 48, 256, image.constBits(), nullptr});
    window.GetFrameSink()->OnFrame({17, 64, 48, 256, nullptr, nullptr});
    EXPECT_TRUE(window.GetLatestFrame().isNull());
}

// A picture the component keeps readable is shown from its own pixels and handed back once a
// newer one replaces it, unless the window still paints from it.
TEST_F(VideoWindow, AHeldPictureIsShownUncopiedAndReleasedWhenReplaced) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    auto held = [](QRgb colour) { return std::make_shared<QImage>(Solid(64, 48, colour)); };
    auto push = [&](const std::shared_ptr<QImage>& image) {
        window.GetFrameSink()->OnFrame({17, image->width(), image->height(),
                                        static_cast<int>(image->bytesPerLine()), image->constBits(),
                                        image});
    };
    std::shared_ptr<QImage> first = held(0xFF112233);
    std::weak_ptr<QImage> firstAlive = first;
    push(first);
    first.reset();
    EXPECT_FALSE(firstAlive.expired());
    EXPECT_EQ(window.GetLatestFrame().pixel(3, 3), 0xFF112233u);

    push(held(0xFF445566));
    EXPECT_TRUE(firstAlive.expired());
    EXPECT_EQ(window.GetLatestFrame().pixel(3, 3), 0xFF445566u);

    // A copied picture after held ones reuses no held pixels.
    Push(window.GetFrameSink(), 17, Solid(64, 48, 0xFF778899));
    Push(window.GetFrameSink(), 17, Solid(32, 24, 0xFFAABBCC));
    const QImage latest = window.GetLatestFrame();
    EXPECT_EQ(latest.size(), QSize(32, 24));
    EXPECT_EQ(latest.pixel(31, 23), 0xFFAABBCCu);
}

TEST_F(VideoWindow, APendingStreamsPictureIsShownOnceTheSwitchCompletes) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    window.SetCycling(1);
    window.SetMediaId(25, true);
    Push(window.GetFrameSink(), 25, Solid(64, 48, 0xFF0000FF));
    EXPECT_EQ(window.GetRepaintRequests(), 0u);  // not shown yet
    log.Clear();
    window.SendMessage(CDlgVideo::WM_STREAM_READY, 25, 0);
    EXPECT_EQ(window.GetUserId(), 25);
    EXPECT_EQ(window.GetMediaId(), 0);
    EXPECT_EQ(window.GetVideoState(), &stream2);
    EXPECT_EQ(window.GetCaption(), QStringLiteral("B-2"));
    EXPECT_TRUE(window.HasPicture());
    EXPECT_EQ(window.GetLatestFrame().pixel(1, 1), 0xFF0000FFu);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"StopRecvVideo(17)", "CyclePushBack(17)",
                                                     "CycleRemoveMediaId(25)"}));
}

TEST_F(VideoWindow, AStreamReadyMessageOutsideTheCycleChangesNothing) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    window.SetMediaId(25, true);
    log.Clear();
    window.SendMessage(CDlgVideo::WM_STREAM_READY, 25, 0);
    EXPECT_EQ(window.GetUserId(), 17);
    EXPECT_TRUE(log.Calls().empty());
}

// The component's first-picture messages name their stream; one that was posted for the
// window's previous binding arrives after the window took another stream.
TEST_F(VideoWindow, AFirstPictureOfAnEarlierBindingChangesNothing) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    Bind(window, 25, &stream2);
    window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, 17, 0);
    EXPECT_FALSE(window.HasPicture()) << "stream 25 has shown nothing yet";
    window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, 25, 0);
    EXPECT_TRUE(window.HasPicture());

    // A switch of the cycle: 33 was pending, then 41 took its place (33 was stopped).
    window.SetCycling(1);
    window.SetMediaId(33, true);
    window.SetMediaId(41, true);
    log.Clear();
    window.SendMessage(CDlgVideo::WM_STREAM_READY, 33, 0);
    EXPECT_EQ(window.GetUserId(), 25) << "the late message of 33 does not complete the switch";
    EXPECT_EQ(window.GetMediaId(), 41);
    EXPECT_TRUE(log.Calls().empty());
    window.SendMessage(CDlgVideo::WM_STREAM_READY, 41, 0);
    EXPECT_EQ(window.GetUserId(), 41);
    EXPECT_EQ(window.GetMediaId(), 0);
}

TEST_F(VideoWindow, ADestroyedWindowStopsItsStreamsAndTakesNoMorePictures) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    window.SetMediaId(25, false);
    log.Clear();
    window.DestroyWindow();
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"StopRecvVideo(25)", "StopRecvVideo(17)"}));
    Push(window.GetFrameSink(), 17, Solid(64, 48, 0xFF00FF00));
    EXPECT_EQ(window.GetRepaintRequests(), 0u);
    EXPECT_TRUE(window.GetLatestFrame().isNull());
}

TEST_F(VideoWindow, TheChannelRequestGoesToTheShownUser) {
    CDlgVideo& empty = MakeWindow();
    empty.SendMessage(CDlgVideo::WM_CHANNEL_REQUEST, 0, 0);
    CDlgVideo& window = MakeWindow();
    Bind(window, 26, &stream);
    window.SendMessage(CDlgVideo::WM_CHANNEL_REQUEST, 0, 0);
    EXPECT_EQ(log.Matching("SendUserByte311"), std::vector<std::string>{"SendUserByte311(26)"});
}

// ---- binding, caption, picture rectangle --------------------------------------------------

TEST_F(VideoWindow, TheRenderObjectGetsThePictureRectangle) {
    CDlgVideo& window = MakeWindow({400, 200});
    window.SetZoomed(1);
    Bind(window, 17, &stream);
    window.SetAspectMode(video_geometry::kAspect43);
    EXPECT_EQ(window.GetPictureRect(), QRect(67, 0, 266, 200));
    EXPECT_EQ(stream.lastRect.left, 67);
    EXPECT_EQ(stream.lastRect.right, 333);
    // Emptied: back to fill, no render object, no picture.
    window.SetUserId(0);
    EXPECT_EQ(window.GetAspectMode(), video_geometry::kAspectFill);
    EXPECT_EQ(window.GetVideoState(), nullptr);
    EXPECT_FALSE(window.HasPicture());
}

TEST_F(VideoWindow, AWindowWithoutAPictureOfItsStreamAsksTheRenderObjectForItsLastOne) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    window.grab();
    EXPECT_EQ(stream.redraws, 0);  // no picture yet: black, nothing to ask for
    window.SendMessage(CDlgVideo::WM_FIRST_PICTURE, 17, 0);
    window.grab();
    EXPECT_EQ(stream.redraws, 1);
    Push(window.GetFrameSink(), 17, Solid(64, 48, 0xFF00FF00));
    const QImage picture = window.grab().toImage();
    EXPECT_EQ(stream.redraws, 1);
    EXPECT_EQ(picture.pixelColor(200, 150), QColor(0, 255, 0));
}

TEST_F(VideoWindow, ARenderObjectNeedsAShownId) {
    CDlgVideo& window = MakeWindow();
    window.SetVideoState(&stream);
    EXPECT_EQ(window.GetVideoState(), nullptr);
}

TEST_F(VideoWindow, TheCaptionShowsOnlyWhereThePictureLeavesRoom) {
    const struct {
        QSize size;
        bool shown;
    } cases[] = {{{400, 300}, true}, {{200, 12}, true}, {{200, 11}, false}};
    for (const auto& c : cases) {
        CDlgVideo& window = MakeWindow(c.size);
        Bind(window, 17, &stream);
        CDlgUserName* caption = window.GetNameCaption();
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->isVisible(), c.shown) << c.size.height();
        EXPECT_EQ(window.CanShowCaption(), c.shown);
        // A child painted over the picture that lets the mouse through.
        EXPECT_FALSE(caption->isWindow());
        EXPECT_TRUE(caption->testAttribute(Qt::WA_TransparentForMouseEvents));
        EXPECT_EQ(caption->GetText(), QStringLiteral("me-2"));
    }
}

TEST_F(VideoWindow, TheCaptionTakesTheNameColourSplitRedFirst) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 17, &stream);
    window.SetNameColor(0x00FF8000);
    CDlgUserName* caption = window.GetNameCaption();
    EXPECT_EQ(caption->GetRed(), 0);
    EXPECT_EQ(caption->GetGreen(), 128);
    EXPECT_EQ(caption->GetBlue(), 255);
}

TEST_F(VideoWindow, TheCycleIndicatorSitsTopRightWhileCycling) {
    CDlgVideo& window = MakeWindow({400, 300});
    window.SetCycling(1);
    CDlgVideoStatus* indicator = window.GetCycleIndicator();
    ASSERT_NE(indicator, nullptr);
    EXPECT_TRUE(indicator->isVisible());
    EXPECT_FALSE(indicator->isWindow());
    EXPECT_EQ(indicator->geometry(), QRect(400 - 10 - 50, 10, 50, 21));
    EXPECT_EQ(indicator->GetRole(), 1);
    window.ShowStatusOverlay(0);
    EXPECT_FALSE(indicator->isVisible());
}

TEST_F(VideoWindow, StopCyclingFreesTheWindowOrClosesTheGap) {
    CDlgVideo& bound = MakeWindow();
    bound.SetSlot(3);
    Bind(bound, 17, &stream);
    bound.SetCycling(1);
    bound.SetMediaId(25, false);
    log.Clear();
    bound.StopCycling(true);
    EXPECT_EQ(log.Calls(),
              (std::vector<std::string>{"ClearWindowSlot(3)", "CycleRemoveWindow()",
                                        "StopRecvVideo(25)", "CyclePushBack(25)",
                                        "StopRecvVideo(17)", "CyclePushBack(17)", "DelVideo(17)"}));
    EXPECT_FALSE(bound.IsCycling());
    EXPECT_FALSE(bound.GetCycleIndicator()->isVisible());

    CDlgVideo& empty = MakeWindow();
    empty.SetSlot(5);
    log.Clear();
    empty.StopCycling(false);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"ClearWindowSlot(5)", "CompactWindow(5)"}));
}

TEST_F(VideoWindow, HoveringABoundWindowShowsTheSpeakPopupToAChairOrPresenter) {
    host.makeSpeakPopup = true;
    host.speak[25] = {1, 1};
    const struct {
        int role;
        bool shown;
    } cases[] = {{0, true}, {2, true}, {1, false}};
    for (const auto& c : cases) {
        host.role = c.role;
        CDlgVideo& window = MakeWindow({400, 300});
        Bind(window, 25, &stream2);
        log.Clear();
        Hover(window, QPoint(100, 100));
        QWidget* popup = window.GetSpeakPopup()->GetWidget();
        EXPECT_EQ(popup->isVisible(), c.shown) << c.role;
        if (c.shown) {
            EXPECT_EQ(popup->geometry(), QRect(10, 300 - 10 - 37, 76, 37));
            EXPECT_EQ(log.Matching("Speak."),
                      (std::vector<std::string>{"Speak.SetBroadcastIcon(1)",
                                                "Speak.SetSpeakState(1)", "Speak.SetUserId(25)"}));
            // The camera pad takes the popup's place.
            window.SendMessage(WM_COMMAND, CDlgVideo::ID_CAMERA, 0);
            EXPECT_FALSE(popup->isVisible());
        }
    }
}

TEST_F(VideoWindow, ThePreviewShowsItsCloseButtonOnHoverAndClosesThroughTheRoom) {
    CDlgVideo& window = MakeWindow({300, 200}, 1);
    Bind(window, 25, &stream2);
    CDlgVideoStatus* close = window.GetPreviewClose();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(window.GetCycleIndicator(), nullptr);
    EXPECT_FALSE(close->isVisible());
    Hover(window, QPoint(100, 100));
    EXPECT_TRUE(close->isVisible());
    EXPECT_EQ(close->geometry(), QRect(300 - 22, 0, 22, 22));
    EXPECT_EQ(close->GetRole(), 0);
    // The preview shows no name caption.
    EXPECT_FALSE(window.GetNameCaption()->isVisible());
    QTest::mouseClick(close, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(close->isVisible());
    EXPECT_EQ(log.Count("TogglePreviewOff"), 1u);
}

// ---- context pop-up -----------------------------------------------------------------------

std::vector<DWORD> ItemIds(CDlgPopSwitch& pop) {
    std::vector<DWORD> ids;
    for (CButtonCheck* item : pop.GetItems()) {
        ids.push_back(item->GetValue());
    }
    return ids;
}

TEST_F(VideoWindow, TheContextPopupOffersWhatTheRoleAllows) {
    const struct {
        int role;
        std::uint16_t shown;
        std::vector<DWORD> items;
        std::vector<DWORD> enabled;
    } cases[] = {
        {0,
         25,
         {32772, 32774, 32777, 32779, 32780, 32781},
         {32772, 32774, 32777, 32779, 32780, 32781}},
        {0, 0, {32772, 32774, 32777, 32779, 32780, 32781}, {}},
        {2, 25, {32772, 32779, 32780, 32781}, {32772, 32779, 32780, 32781}},
        {1, 25, {32779, 32780, 32781}, {32779, 32780, 32781}},
    };
    for (const auto& c : cases) {
        host.role = c.role;
        CDlgVideo& window = MakeWindow();
        if (c.shown != 0) {
            Bind(window, c.shown, &stream2);
        }
        window.ShowContextPopup(QPoint(500, 300));
        CDlgPopSwitch* pop = window.GetPopup();
        ASSERT_NE(pop, nullptr);
        EXPECT_TRUE(pop->isVisible());
        EXPECT_EQ(ItemIds(*pop), c.items) << c.role;
        std::vector<DWORD> enabled;
        for (CButtonCheck* item : pop->GetItems()) {
            if (item->isEnabled()) {
                enabled.push_back(item->GetValue());
            }
        }
        EXPECT_EQ(enabled, c.enabled) << c.role;
        // Ends at the cursor, (items - 1) x 38 + 45 high.
        EXPECT_EQ(pop->geometry(),
                  QRect(500 - 139, 300, 139, (static_cast<int>(c.items.size()) - 1) * 38 + 45));
        pop->ShowWindow(SW_HIDE);
    }
}

TEST_F(VideoWindow, TheAspectItemsAreCheckedByTheMode) {
    host.role = 0;
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    window.SetAspectMode(video_geometry::kAspect169);
    window.ShowContextPopup(QPoint(500, 300));
    CDlgPopSwitch& pop = *window.GetPopup();
    EXPECT_FALSE(pop.GetButton(32779)->GetCheck());
    EXPECT_FALSE(pop.GetButton(32780)->GetCheck());
    EXPECT_TRUE(pop.GetButton(32781)->GetCheck());
    EXPECT_TRUE(pop.GetButton(32781)->GetWindowText().endsWith(QStringLiteral("  ")));
    // A chosen item comes back as a command.
    window.SendMessage(WM_COMMAND, 32780, 0);
    EXPECT_EQ(window.GetAspectMode(), video_geometry::kAspect43);
}

TEST_F(VideoWindow, NoContextPopupWhereTheWindowDoesNotOfferOne) {
    host.role = 0;
    const struct {
        const char* what;
        int mode;
        bool cycling;
        bool children;
    } cases[] = {{"cycling", 0, true, true},
                 {"preview", 1, false, true},
                 {"device test", 2, false, true},
                 {"before the children exist", 0, false, false}};
    for (const auto& c : cases) {
        CDlgVideo& window = MakeWindow({400, 300}, c.mode, c.children);
        Bind(window, 25, &stream2);
        window.SetCycling(c.cycling ? 1 : 0);
        window.ShowContextPopup(QPoint(500, 300));
        EXPECT_TRUE(window.GetPopup() == nullptr || !window.GetPopup()->isVisible()) << c.what;
    }
}

TEST_F(VideoWindow, ALongTouchOpensThePopupAShortOneDoesNot) {
    host.role = 0;
    std::unique_ptr<QPointingDevice> device(QTest::createTouchDevice());
    const struct {
        ulong held;
        bool opens;
    } cases[] = {{999, false}, {1000, true}, {4000, true}};
    for (const auto& c : cases) {
        CDlgVideo& window = MakeWindow();
        Bind(window, 25, &stream2);
        QEventPoint point(1, QEventPoint::State::Pressed, QPointF(50, 50), QPointF(550, 350));
        QTouchEvent down(QEvent::TouchBegin, device.get(), Qt::NoModifier, {point});
        down.setTimestamp(5000);
        QApplication::sendEvent(&window, &down);
        QEventPoint up(1, QEventPoint::State::Released, QPointF(50, 50), QPointF(550, 350));
        QTouchEvent release(QEvent::TouchEnd, device.get(), Qt::NoModifier, {up});
        release.setTimestamp(5000 + c.held);
        QApplication::sendEvent(&window, &release);
        EXPECT_EQ(window.GetPopup()->isVisible(), c.opens) << c.held;
        window.GetPopup()->ShowWindow(SW_HIDE);
    }
}

TEST_F(VideoWindow, TheRemoteParameterItemAsksTheRoom) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    window.SendMessage(WM_COMMAND, CDlgVideo::ID_REMOTE_PARAM, 0);
    EXPECT_EQ(log.Matching("OpenRemoteParams"), std::vector<std::string>{"OpenRemoteParams(25)"});
}

// ---- zoom, drag, keys ---------------------------------------------------------------------

TEST_F(VideoWindow, DoubleClickZoomsWhereTheRoleAndLayoutAllow) {
    const struct {
        const char* what;
        int role;
        bool sync;
        std::uint16_t shown;
        int zoomed;
        bool posts;
        int newFlag;
    } cases[] = {
        {"presenter zooms", 2, false, 25, 0, true, 1},
        {"presenter unzooms", 2, false, 25, 1, true, 0},
        {"chair with a free layout", 0, false, 25, 0, true, 1},
        {"chair while the layout is synchronised", 0, true, 25, 0, false, 0},
        {"presenter ignores the sync flag", 2, true, 25, 0, true, 1},
        {"participant", 1, false, 25, 0, false, 0},
        {"empty window", 2, false, 0, 0, false, 0},
        {"empty zoomed window unzooms", 2, false, 0, 1, true, 0},
    };
    for (const auto& c : cases) {
        host.role = c.role;
        host.layoutSync = c.sync;
        CDlgVideo& window = MakeWindow();
        if (c.shown != 0) {
            Bind(window, c.shown, &stream2);
        }
        window.SetZoomed(c.zoomed);
        mainWindow.messages.clear();
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QApplication::processEvents();
        const auto zooms = mainWindow.Of(CDlgVideo::WM_VIDEO_ZOOM);
        ASSERT_EQ(zooms.size(), c.posts ? 1u : 0u) << c.what;
        if (c.posts) {
            EXPECT_EQ(zooms[0].wParam, c.shown) << c.what;
            EXPECT_EQ(zooms[0].lParam, c.newFlag) << c.what;
            EXPECT_EQ(window.IsZoomed(), c.newFlag) << c.what;
        }
    }
}

TEST_F(VideoWindow, APresenterDragsABoundChildWindow) {
    host.role = 2;
    CDlgVideo& window = MakeWindow();
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(log.Count("BeginVideoDrag"), 0u);
    Bind(window, 25, &stream2);
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(log.Count("BeginVideoDrag"), 1u);
}

class KeyedVideo : public CDlgVideo {
public:
    using CDlgVideo::CDlgVideo;
    using CDlgVideo::PreTranslateMessage;
};

TEST_F(VideoWindow, EnterEscapeSpaceAndControlKeysStopAtTheWindow) {
    KeyedVideo window(&mainWindow);
    window.Create(CDlgVideo::IDD, &mainWindow);
    const struct {
        WPARAM key;
        Qt::KeyboardModifiers modifiers;
        BOOL swallowed;
    } cases[] = {{VK_RETURN, Qt::NoModifier, 1}, {VK_ESCAPE, Qt::NoModifier, 1},
                 {VK_SPACE, Qt::NoModifier, 1},  {'C', Qt::ControlModifier, 1},
                 {0x91, Qt::ControlModifier, 0}, {'C', Qt::NoModifier, 0},
                 {VK_LEFT, Qt::NoModifier, 0}};
    for (const auto& c : cases) {
        yav::Msg msg;
        msg.hwnd = &window;
        msg.message = WM_KEYDOWN;
        msg.wParam = c.key;
        msg.modifiers = c.modifiers;
        EXPECT_EQ(window.PreTranslateMessage(&msg), c.swallowed) << c.key;
    }
}

TEST_F(VideoWindow, APopupStyleWindowKeepsItsMinimumSize) {
    CDlgVideo& window = MakeWindow({400, 300}, 1);
    window.SetPopupStyle(1);
    EXPECT_TRUE(window.IsPopupStyle());
    window.MoveWindow(10, 10, 60, 40);
    EXPECT_EQ(window.size(), QSize(124, 93));
    window.SetPopupStyle(0);
    EXPECT_FALSE(window.IsPopupStyle());
}

// ---- snapshots ----------------------------------------------------------------------------

class Snapshot : public VideoFixture {
protected:
    void SetUp() override {
        VideoFixture::SetUp();
        ASSERT_TRUE(photos.isValid());
        g_AppSettings.photopath = photos.path() + QStringLiteral("/shots");
    }
    // Takes a snapshot, answering the message box; returns the file written or "".
    QString Take(CDlgVideo& window) {
        const std::size_t before = stream.saved.size();
        boxMessage.clear();
        ModalAnswer answer([this](yav::Dialog& box) {
            if (auto* message = dynamic_cast<CDlgPopMsg*>(&box)) {
                boxMessage = message->GetMessageLabel().GetWindowText();
            }
            box.EndDialog(IDOK);
        });
        window.SendMessage(WM_COMMAND, CDlgVideo::ID_SNAPSHOT, 0);
        return stream.saved.size() > before ? stream.saved.back() : QString();
    }
    QTemporaryDir photos;
    QString boxMessage;
};

TEST_F(Snapshot, NamesCarryTheUserTheChannelTheTimeAndACounter) {
    host.names[32] = QStringLiteral("Ann");
    CDlgVideo& window = MakeWindow();
    Bind(window, 32, &stream);
    FirstPicture(window, 32, Solid(32, 24, 0xFF808080));
    const QString folder = g_AppSettings.photopath + u'/';
    QString first;
    QString second;
    // Two in the same minute (retried when the minute turns in between).
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int minute = QTime::currentTime().minute();
        first = Take(window);
        second = Take(window);
        if (QTime::currentTime().minute() == minute) {
            break;
        }
    }
    const QRegularExpression firstName(QRegularExpression::escape(folder) +
                                       QStringLiteral(R"(Ann\(_\d\d-\d\d\)\.bmp$)"));
    EXPECT_TRUE(firstName.match(first).hasMatch()) << first.toStdString();
    EXPECT_EQ(second, QString(first).replace(QStringLiteral(").bmp"), QStringLiteral(")_1.bmp")));
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(boxMessage, LoadLangString(1258) + second);

    CDlgVideo& third = MakeWindow();
    Bind(third, 34, &stream);
    FirstPicture(third, 34, Solid(32, 24, 0xFF808080));
    const QString channel2 = Take(third);
    EXPECT_TRUE(QRegularExpression(QRegularExpression::escape(folder) +
                                   QStringLiteral(R"(Ann-3\(_\d\d-\d\d\)\.bmp$)"))
                    .match(channel2)
                    .hasMatch())
        << channel2.toStdString();
}

TEST_F(Snapshot, AHostileNameStaysInThePhotoFolder) {
    host.names[32] = QStringLiteral("../../x/..");
    CDlgVideo& window = MakeWindow();
    Bind(window, 32, &stream);
    FirstPicture(window, 32, Solid(32, 24, 0xFF808080));
    const QString path = Take(window);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(g_AppSettings.photopath).absolutePath());
}

TEST_F(Snapshot, NothingIsSavedWithoutAPictureAUserOrAFolder) {
    CDlgVideo& noPicture = MakeWindow();
    Bind(noPicture, 32, &stream);
    EXPECT_TRUE(Take(noPicture).isEmpty());

    CDlgVideo& unknown = MakeWindow();
    Bind(unknown, 40, &stream);
    FirstPicture(unknown, 40, Solid(32, 24, 0xFF808080));
    EXPECT_TRUE(Take(unknown).isEmpty());

    g_AppSettings.photopath.clear();
    CDlgVideo& noFolder = MakeWindow();
    Bind(noFolder, 32, &stream);
    FirstPicture(noFolder, 32, Solid(32, 24, 0xFF808080));
    EXPECT_TRUE(Take(noFolder).isEmpty());
    EXPECT_TRUE(boxMessage.isEmpty());

    // A folder that cannot be made (a file stands in its way) is said in a box.
    QFile blocker(photos.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    g_AppSettings.photopath = blocker.fileName() + QStringLiteral("/shots");
    EXPECT_TRUE(Take(noFolder).isEmpty());
    EXPECT_EQ(boxMessage, LoadLangString(1837));
}

// ---- camera pad ---------------------------------------------------------------------------

class CameraPad : public VideoFixture {
protected:
    CDlgCameraCtrl& OpenPad(CDlgVideo& window) {
        window.SendMessage(WM_COMMAND, CDlgVideo::ID_CAMERA, 0);
        EXPECT_NE(window.GetCameraPad(), nullptr);
        return *window.GetCameraPad();
    }
    void Press(CDlgCameraCtrl& pad, int id) {
        QTest::mousePress(pad.GetButton(id), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    }
    void Release(CDlgCameraCtrl& pad, int id) {
        QTest::mouseRelease(pad.GetButton(id), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    }
    std::vector<std::string> Sent() const { return log.Matching("SendCameraControl"); }
};

TEST_F(CameraPad, AHeldDirectionRepeatsEvery100MsAndStopsOnRelease) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    CDlgCameraCtrl& pad = OpenPad(window);
    Press(pad, CDlgCameraCtrl::IDC_UP);
    EXPECT_EQ(pad.GetTimerElapse(CDlgCameraCtrl::TIMER_REPEAT), 100);
    // 250 ms held: the timer's ticks at 100 and 200 ms.
    EXPECT_TRUE(TimerDriver::Fire(pad, CDlgCameraCtrl::TIMER_REPEAT));
    EXPECT_TRUE(TimerDriver::Fire(pad, CDlgCameraCtrl::TIMER_REPEAT));
    Release(pad, CDlgCameraCtrl::IDC_UP);
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{"SendCameraControl(25,3)", "SendCameraControl(25,3)",
                                        "SendCameraControl(25,3)", "SendCameraControl(25,0)"}));
    EXPECT_FALSE(pad.IsTimerSet(CDlgCameraCtrl::TIMER_REPEAT));
}

TEST_F(CameraPad, EveryDirectionButtonSendsItsCode) {
    const struct {
        int id;
        int code;
    } cases[] = {{CDlgCameraCtrl::IDC_LEFT, 1},     {CDlgCameraCtrl::IDC_RIGHT, 2},
                 {CDlgCameraCtrl::IDC_UP, 3},       {CDlgCameraCtrl::IDC_DOWN, 4},
                 {CDlgCameraCtrl::IDC_ZOOM_OUT, 5}, {CDlgCameraCtrl::IDC_ZOOM_IN, 6}};
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    CDlgCameraCtrl& pad = OpenPad(window);
    for (const auto& c : cases) {
        log.Clear();
        Press(pad, c.id);
        Release(pad, c.id);
        EXPECT_EQ(Sent(), (std::vector<std::string>{fakes::Call("SendCameraControl", 25, c.code),
                                                    "SendCameraControl(25,0)"}));
    }
}

TEST_F(CameraPad, AReleaseInThePadStopsEvenWithNothingHeld) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    CDlgCameraCtrl& pad = OpenPad(window);
    QTest::mouseRelease(&pad, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_EQ(Sent(), std::vector<std::string>{"SendCameraControl(25,0)"});
}

TEST_F(CameraPad, TheCloseButtonSendsNoCodeAndClosesThePad) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    CDlgCameraCtrl& pad = OpenPad(window);
    QTest::mouseClick(pad.GetButton(CDlgCameraCtrl::IDC_CLOSE), Qt::LeftButton, Qt::NoModifier,
                      QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window.GetCameraPad(), nullptr);
}

TEST_F(CameraPad, APadThatGoesAwayWhileADirectionIsHeldStopsTheCamera) {
    const struct {
        const char* what;
        std::function<void(CDlgVideo&, CDlgCameraCtrl&)> away;
    } cases[] = {
        {"closed by the menu",
         [](CDlgVideo& w, CDlgCameraCtrl&) { w.SendMessage(WM_COMMAND, CDlgVideo::ID_CAMERA, 0); }},
        {"closed by its message",
         [](CDlgVideo& w, CDlgCameraCtrl&) {
             w.SendMessage(CDlgVideo::WM_CLOSE_CAMERA_PAD, 0, 0);
         }},
        {"window emptied", [](CDlgVideo& w, CDlgCameraCtrl&) { w.SetUserId(0); }},
        {"pad hidden", [](CDlgVideo&, CDlgCameraCtrl& p) { p.ShowWindow(SW_HIDE); }},
        {"window destroyed", [](CDlgVideo& w, CDlgCameraCtrl&) { w.DestroyWindow(); }},
    };
    for (const auto& c : cases) {
        CDlgVideo& window = MakeWindow();
        Bind(window, 25, &stream2);
        CDlgCameraCtrl& pad = OpenPad(window);
        Press(pad, CDlgCameraCtrl::IDC_LEFT);
        log.Clear();
        c.away(window, pad);
        EXPECT_EQ(Sent(), std::vector<std::string>{"SendCameraControl(25,0)"}) << c.what;
    }
}

TEST_F(CameraPad, ThePadTakesTheBottomNinthAndTheButtonsAreCentred) {
    CDlgVideo& window = MakeWindow({400, 300});
    Bind(window, 25, &stream2);
    const QRect before = window.GetPictureRect();
    CDlgCameraCtrl& pad = OpenPad(window);
    EXPECT_EQ(pad.geometry(), QRect(0, 267, 400, 33));
    EXPECT_EQ(window.GetPictureRect().bottom(), before.bottom() - 33);
    // Button width 33 x 12 / 9 = 44, seven of them centred: (400 - 308) / 2 = 46.
    EXPECT_EQ(pad.GetButton(CDlgCameraCtrl::IDC_UP)->geometry().left(), 46);
    EXPECT_EQ(pad.GetButton(CDlgCameraCtrl::IDC_CLOSE)->geometry().left(), 46 + 6 * 44);
}

TEST_F(CameraPad, ThePadDrivesTheCameraOfTheShownId) {
    CDlgVideo& window = MakeWindow();
    Bind(window, 25, &stream2);
    CDlgCameraCtrl& pad = OpenPad(window);
    window.SetUserId(26);
    EXPECT_EQ(pad.GetTarget(), 26);
    Press(pad, CDlgCameraCtrl::IDC_ZOOM_IN);
    EXPECT_EQ(Sent(), std::vector<std::string>{"SendCameraControl(26,6)"});
}

}  // namespace
}  // namespace video_test
