#include "platform/core/AltSignalStack.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "platform/core/Thread.h"

namespace {

stack_t CurrentAltStack() {
    stack_t current{};
    sigaltstack(nullptr, &current);
    return current;
}

bool Enabled(const stack_t& stack) {
    return (stack.ss_flags & SS_DISABLE) == 0;
}

bool SameStack(const stack_t& a, const stack_t& b) {
    return Enabled(a) == Enabled(b) &&
           (!Enabled(a) || (a.ss_sp == b.ss_sp && a.ss_size == b.ss_size));
}

// Each case runs on a thread of its own, as every thread starts: whatever alternate stack it has
// then (none, or a sanitizer's) must come back when the objects go.
TEST(AltSignalStack, InstallsForItsLifetimeAndRestoresThePrevious) {
    std::thread([] {
        const stack_t before = CurrentAltStack();
        {
            const yav::AltSignalStack outer;
            ASSERT_TRUE(outer.IsInstalled());
            const stack_t withOuter = CurrentAltStack();
            EXPECT_TRUE(Enabled(withOuter));
            EXPECT_GE(withOuter.ss_size, yav::AltSignalStack::kMinimumBytes);
            EXPECT_FALSE(SameStack(withOuter, before));
            {
                const yav::AltSignalStack inner;
                ASSERT_TRUE(inner.IsInstalled());
                EXPECT_FALSE(SameStack(CurrentAltStack(), withOuter));
            }
            EXPECT_TRUE(SameStack(CurrentAltStack(), withOuter));
        }
        EXPECT_TRUE(SameStack(CurrentAltStack(), before));
    }).join();
}

// The alternate stack is real memory a handler can use from its top to its bottom.
TEST(AltSignalStack, HandlerRunsOnItAndCanUseAllOfIt) {
    static thread_local stack_t g_installed;
    static thread_local bool g_ranOnIt;
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_flags = SA_ONSTACK | SA_SIGINFO;
    action.sa_sigaction = [](int, siginfo_t*, void*) {
        // The frame's address, not a local's: a sanitizer may keep locals elsewhere.
        const auto* here = static_cast<const char*>(__builtin_frame_address(0));
        const auto* base = static_cast<const char*>(g_installed.ss_sp);
        g_ranOnIt = here >= base && here < base + g_installed.ss_size;
        // Touch the stack's lowest and highest bytes: both must be mapped and writable.
        static_cast<volatile char*>(g_installed.ss_sp)[0] = 1;
        static_cast<volatile char*>(g_installed.ss_sp)[g_installed.ss_size - 1] = 1;
    };
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR2, &action, &previous), 0);
    std::thread([] {
        const yav::AltSignalStack stack;
        g_installed = CurrentAltStack();
        g_ranOnIt = false;
        raise(SIGUSR2);
        EXPECT_TRUE(g_ranOnIt);
    }).join();
    sigaction(SIGUSR2, &previous, nullptr);
}

// Every platform thread (and so every XThread and CThread2) runs its body with one.
TEST(AltSignalStack, PlatformThreadBodyHasOne) {
    yav::Thread thread;
    stack_t seen{};
    ASSERT_TRUE(thread.Start([&] {
        seen = CurrentAltStack();
        return 0u;
    }));
    thread.Join();
    EXPECT_TRUE(Enabled(seen));
    EXPECT_GE(seen.ss_size, yav::AltSignalStack::kMinimumBytes);
}

}  // namespace
