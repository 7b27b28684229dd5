// Owned payloads of posted messages: each value is destroyed exactly once, whether its message
// is delivered or dropped, and the handler finds it only under its own type.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/MessagePayload.h"
#include "platform/window/Window.h"
#include "platform/window/testing/WindowTesting.h"

namespace {

constexpr UINT kPayloadMessage = WM_USER + 31;
constexpr UINT kOtherMessage = WM_USER + 32;

// Counts the instances alive and the values destroyed: a value is destroyed when the last
// instance owning it (not moved from) goes.
struct Tally {
    std::atomic<int> live{0};
    std::atomic<int> valuesDestroyed{0};
};

class Tracked {
public:
    Tracked(Tally& tally, int value) : tally_(&tally), value_(value) { ++tally_->live; }
    Tracked(Tracked&& other) noexcept
        : tally_(other.tally_), value_(other.value_), owns_(other.owns_) {
        other.owns_ = false;
        ++tally_->live;
    }
    Tracked& operator=(Tracked&&) = delete;
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;
    ~Tracked() {
        --tally_->live;
        if (owns_) {
            ++tally_->valuesDestroyed;
        }
    }

    int Value() const { return value_; }
    bool Owns() const { return owns_; }

private:
    Tally* tally_;
    int value_;
    bool owns_ = true;
};

// Hands every payload message to a test-supplied handler.
class PayloadWindow : public yav::Window {
public:
    explicit PayloadWindow(bool created = true) {
        if (!created) {
            StartNotCreated();
        }
        MapMessage(kPayloadMessage, [this](WPARAM wParam, LPARAM lParam) -> LRESULT {
            ++calls;
            if (onPayload) {
                onPayload(wParam, lParam);
            }
            return 0;
        });
    }
    void Create() { MarkCreated(true); }

    int calls = 0;
    std::function<void(WPARAM, LPARAM)> onPayload;
};

// Runs the posted events and those they post in turn.
void Drain() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

TEST(MessagePayload, DeliveredOnceAndDestroyedOnceAfterTheHandler) {
    Tally tally;
    PayloadWindow window;
    std::vector<int> seen;
    int destroyedDuringHandler = -1;
    window.onPayload = [&](WPARAM wParam, LPARAM lParam) {
        const Tracked* value = yav::PayloadOf<Tracked>(lParam);
        ASSERT_NE(value, nullptr);
        seen.push_back(value->Value() + static_cast<int>(wParam));
        destroyedDuringHandler = tally.valuesDestroyed;
    };
    ASSERT_TRUE(window.PostPayload(kPayloadMessage, 1000, Tracked(tally, 7)));
    ASSERT_TRUE(window.GetSafeHwnd().PostPayload(kPayloadMessage, 2000, Tracked(tally, 8)));
    EXPECT_EQ(tally.valuesDestroyed, 0) << "queued payloads are alive";
    Drain();
    EXPECT_EQ(seen, (std::vector<int>{1007, 2008}));
    EXPECT_EQ(destroyedDuringHandler, 1) << "only the first value was gone when the second ran";
    EXPECT_EQ(tally.valuesDestroyed, 2);
    EXPECT_EQ(tally.live, 0);
}

TEST(MessagePayload, AHandlerKeepsTheValueByMovingOut) {
    Tally tally;
    PayloadWindow window;
    std::optional<Tracked> kept;
    window.onPayload = [&](WPARAM, LPARAM lParam) {
        if (Tracked* value = yav::PayloadOf<Tracked>(lParam)) {
            kept.emplace(std::move(*value));
        }
    };
    ASSERT_TRUE(window.PostPayload(kPayloadMessage, 0, Tracked(tally, 5)));
    Drain();
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->Value(), 5);
    EXPECT_EQ(tally.valuesDestroyed, 0) << "the moved-out value is the handler's now";
    kept.reset();
    EXPECT_EQ(tally.valuesDestroyed, 1);
    EXPECT_EQ(tally.live, 0);
}

TEST(MessagePayload, MoveOnlyLibraryTypesTravel) {
    PayloadWindow window;
    std::unique_ptr<std::string> kept;
    window.onPayload = [&](WPARAM, LPARAM lParam) {
        if (auto* text = yav::PayloadOf<std::unique_ptr<std::string>>(lParam)) {
            kept = std::move(*text);
        }
    };
    ASSERT_TRUE(window.PostPayload(kPayloadMessage, 0, std::make_unique<std::string>("frame")));
    Drain();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(*kept, "frame");
}

// Every way a payload message can miss its window: the value is still destroyed exactly once,
// and no handler sees it.
TEST(MessagePayload, DroppedPayloadsAreDestroyedOnce) {
    struct Case {
        const char* name;
        bool acceptedAtPost;
        // Posts one Tracked value in some state of the window; may end the window.
        std::function<bool(std::unique_ptr<PayloadWindow>&, Tally&)> run;
    };
    const std::vector<Case> cases = {
        {"posted after DestroyWindow", false,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             w->DestroyWindow();
             return w->PostPayload(kPayloadMessage, 0, Tracked(t, 1));
         }},
        {"through a handle kept past DestroyWindow", false,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             const yav::WindowHandle handle = w->GetSafeHwnd();
             w->DestroyWindow();
             return handle.PostPayload(kPayloadMessage, 0, Tracked(t, 1));
         }},
        {"to a window never created", false,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             w = std::make_unique<PayloadWindow>(false);
             return w->PostPayload(kPayloadMessage, 0, Tracked(t, 1));
         }},
        {"through a handle of a deleted window object", false,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             const yav::WindowHandle handle = w->GetSafeHwnd();
             w.reset();
             return handle.PostPayload(kPayloadMessage, 0, Tracked(t, 1));
         }},
        {"pending at DestroyWindow", true,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             const bool posted = w->PostPayload(kPayloadMessage, 0, Tracked(t, 1));
             w->DestroyWindow();
             return posted;
         }},
        {"pending when the window is destroyed and created again", true,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             const bool posted = w->PostPayload(kPayloadMessage, 0, Tracked(t, 1));
             w->DestroyWindow();
             w->Create();
             return posted;
         }},
        {"pending when the window object is deleted", true,
         [](std::unique_ptr<PayloadWindow>& w, Tally& t) {
             const bool posted = w->PostPayload(kPayloadMessage, 0, Tracked(t, 1));
             w.reset();
             return posted;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tally tally;
        auto window = std::make_unique<PayloadWindow>();
        EXPECT_EQ(c.run(window, tally), c.acceptedAtPost);
        Drain();
        if (window) {
            EXPECT_EQ(window->calls, 0);
        }
        EXPECT_EQ(tally.valuesDestroyed, 1);
        EXPECT_EQ(tally.live, 0);
    }
}

TEST(MessagePayload, FoundOnlyUnderItsOwnTypeAndOnlyWhileItsHandlerRuns) {
    Tally tally;
    PayloadWindow window;
    PayloadWindow forwardTarget;
    LPARAM token = 0;
    bool asTracked = false;
    bool asInt = true;
    bool asConstTracked = true;
    bool foundWhereForwarded = false;
    bool outerFoundAfterInner = false;
    std::vector<bool> plainFound;
    forwardTarget.onPayload = [&](WPARAM, LPARAM lParam) {
        foundWhereForwarded = yav::PayloadOf<Tracked>(lParam) != nullptr;
    };
    window.onPayload = [&](WPARAM wParam, LPARAM lParam) {
        if (wParam != 1) {
            return;  // the inner delivery below
        }
        token = lParam;
        asTracked = yav::PayloadOf<Tracked>(lParam) != nullptr;
        asInt = yav::PayloadOf<int>(lParam) != nullptr;
        asConstTracked = yav::PayloadOf<const Tracked>(lParam) != nullptr;
        // Passed on by a direct call, the token still names the payload.
        forwardTarget.SendMessage(kPayloadMessage, 0, lParam);
        // A nested delivery of another payload ends without hiding this one.
        window.PostPayload(kPayloadMessage, 2, Tracked(tally, 2));
        QCoreApplication::processEvents();
        outerFoundAfterInner = yav::PayloadOf<Tracked>(lParam) != nullptr;
    };
    ASSERT_TRUE(window.PostPayload(kPayloadMessage, 1, Tracked(tally, 1)));
    Drain();
    ASSERT_EQ(window.calls, 2);
    EXPECT_TRUE(asTracked);
    EXPECT_FALSE(asInt);
    EXPECT_FALSE(asConstTracked);
    EXPECT_TRUE(foundWhereForwarded);
    EXPECT_TRUE(outerFoundAfterInner);

    // Plain lParams and a token whose handler has returned name nothing.
    Tracked local(tally, 3);
    window.onPayload = [&](WPARAM, LPARAM lParam) {
        plainFound.push_back(yav::PayloadOf<Tracked>(lParam) != nullptr);
    };
    for (const LPARAM plain :
         {LPARAM{0}, LPARAM{42}, LPARAM{-1}, reinterpret_cast<LPARAM>(&local), token}) {
        window.SendMessage(kPayloadMessage, 0, plain);
        window.PostMessage(kPayloadMessage, 0, plain);
    }
    Drain();
    EXPECT_EQ(plainFound, std::vector<bool>(10, false));
    EXPECT_EQ(yav::PayloadOf<Tracked>(token), nullptr);
}

TEST(MessagePayload, SendMessageKeepsItsPlainLParam) {
    PayloadWindow window;
    LPARAM received = 0;
    window.onPayload = [&](WPARAM, LPARAM lParam) { received = lParam; };
    int local = 0;
    window.SendMessage(kPayloadMessage, 0, reinterpret_cast<LPARAM>(&local));
    EXPECT_EQ(received, reinterpret_cast<LPARAM>(&local));
    window.PostMessage(kOtherMessage, 0, 77);
    Drain();
    EXPECT_EQ(window.calls, 1);
}

// Worker threads post payloads while the GUI thread delivers them and then destroys the
// window: every value is destroyed exactly once, each delivered one once.
TEST(MessagePayloadThreads, EveryValueIsDestroyedOnceAcrossThreads) {
    Tally tally;
    PayloadWindow window;
    std::vector<int> deliveries(4000, 0);
    window.onPayload = [&](WPARAM, LPARAM lParam) {
        if (const Tracked* value = yav::PayloadOf<Tracked>(lParam)) {
            ++deliveries[static_cast<size_t>(value->Value())];
        }
    };
    const yav::WindowHandle handle = window.GetSafeHwnd();
    std::atomic<int> accepted{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            while (!go) {
                std::this_thread::yield();
            }
            for (int i = 0; i < 1000; ++i) {
                const int id = t * 1000 + i;
                const bool posted =
                    (i % 2 == 0) ? handle.PostPayload(kPayloadMessage, 0, Tracked(tally, id))
                                 : window.PostPayload(kPayloadMessage, 0, Tracked(tally, id));
                if (posted) {
                    ++accepted;
                }
            }
        });
    }
    go = true;
    // Deliver for a while, then end the window with posts still coming.
    yav::testing::WaitUntil([&] { return window.calls >= 500; });
    window.DestroyWindow();
    for (auto& worker : workers) {
        worker.join();
    }
    Drain();
    EXPECT_GE(accepted, window.calls);
    for (size_t id = 0; id < deliveries.size(); ++id) {
        ASSERT_LE(deliveries[id], 1) << "value " << id;
    }
    EXPECT_EQ(tally.valuesDestroyed, 4000);
    EXPECT_EQ(tally.live, 0);
}

}  // namespace
