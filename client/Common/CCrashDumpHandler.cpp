#include "CCrashDumpHandler.h"

#include <cxxabi.h>
#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "platform/core/Log.h"

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGSYS, SIGTRAP};
constexpr int kMaxFrames = 64;
// The log frame names the crash handler's original source file.
constexpr const char* kLogFile = "msjexhnd";

char g_szDumpPath[4096] = {};
// The thread writing the report (0 until a fatal signal or terminate arrives).
std::atomic<long> g_nHandlingThread{0};
static_assert(std::atomic<long>::is_always_lock_free);
// How long a thread that fails while another writes the report waits for that report.
constexpr int kReportWaitSeconds = 10;
std::terminate_handler g_previousTerminate = nullptr;
struct sigaction g_previousActions[sizeof kFatalSignals / sizeof kFatalSignals[0]];
alignas(16) char g_alternateStack[64 * 1024 + 32 * 1024];

// --- async-signal-safe output helpers ---

void Put(int fd, const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = write(fd, text, left);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return;
        }
        text += n;
        left -= static_cast<size_t>(n);
    }
}

void PutUnsigned(int fd, std::uint64_t value, unsigned base) {
    char digits[32];
    int i = 0;
    do {
        const unsigned digit = static_cast<unsigned>(value % base);
        digits[i++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        value /= base;
    } while (value != 0 && i < 31);
    char text[36];
    int k = 0;
    if (base == 16) {
        text[k++] = '0';
        text[k++] = 'x';
    }
    while (i > 0) {
        text[k++] = digits[--i];
    }
    text[k] = '\0';
    Put(fd, text);
}

const char* SignalName(int signalNumber) {
    switch (signalNumber) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGBUS:
            return "SIGBUS";
        case SIGILL:
            return "SIGILL";
        case SIGFPE:
            return "SIGFPE";
        case SIGABRT:
            return "SIGABRT";
        case SIGSYS:
            return "SIGSYS";
        case SIGTRAP:
            return "SIGTRAP";
        default:
            return "signal";
    }
}

void CopyFile(int fd, const char* source) {
    const int in = open(source, O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        Put(fd, "(unreadable)\n");
        return;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = write(fd, buffer + done, static_cast<size_t>(n - done));
            if (w <= 0) {
                break;
            }
            done += w;
        }
    }
    close(in);
}

// --- the parts after the report, not async-signal-safe (bounded by an alarm) ---

void AppendDemangledBacktrace(const char* path) {
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    char** symbols = backtrace_symbols(frames, count);
    if (symbols == nullptr) {
        return;
    }
    const int fd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        std::free(symbols);
        return;
    }
    Put(fd, "\nbacktrace (demangled):\n");
    for (int i = 0; i < count; ++i) {
        std::string line = symbols[i];
        // "module(mangled+0xoffset) [address]"
        const size_t open = line.find('(');
        const size_t plus = line.find('+', open == std::string::npos ? 0 : open);
        if (open != std::string::npos && plus != std::string::npos && plus > open + 1) {
            const std::string mangled = line.substr(open + 1, plus - open - 1);
            int status = 0;
            char* demangled = abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status);
            if (status == 0 && demangled != nullptr) {
                line.replace(open + 1, plus - open - 1, demangled);
            }
            std::free(demangled);
        }
        Put(fd, "#");
        PutUnsigned(fd, static_cast<std::uint64_t>(i), 10);
        Put(fd, " ");
        Put(fd, line.c_str());
        Put(fd, "\n");
    }
    close(fd);
    std::free(symbols);
}

void ReportAndLog(int signalNumber, const void* faultAddress, const char* reason) {
    CCrashDumpHandler::WriteMiniDump(g_szDumpPath, signalNumber, faultAddress, reason);
    // A lock held by the failed thread must not keep the process alive: the alarm's default
    // action ends it.
    alarm(3);
    AppendDemangledBacktrace(g_szDumpPath);
    yav::log::Write(yav::log::Level::Fatal, kLogFile, __LINE__,
                    "进程退出产生dump文件 ExceptionCode 0x%x", static_cast<unsigned>(signalNumber));
    yav::log::Shutdown();
}

// True when the calling thread is to write the report. A thread that fails while another
// one writes it waits (bounded) for that thread, which ends the process: ending it at once
// would cut the report short. A fault inside the handler itself ends the process at once.
bool BeginReport() {
    const long self = syscall(SYS_gettid);
    long expected = 0;
    if (g_nHandlingThread.compare_exchange_strong(expected, self)) {
        return true;
    }
    if (expected != self) {
        for (int i = 0; i < kReportWaitSeconds; ++i) {
            sleep(1);
        }
    }
    return false;
}

void SignalHandler(int signalNumber, siginfo_t* info, void* /*context*/) {
    if (BeginReport()) {
        ReportAndLog(signalNumber, info != nullptr ? info->si_addr : nullptr, nullptr);
    }
    // End with the original signal, as the system would have.
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
    _exit(128 + signalNumber);
}

void TerminateHandler() {
    if (BeginReport()) {
        std::string reason = "std::terminate";
        if (const std::exception_ptr current = std::current_exception()) {
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& error) {
                reason += ": uncaught exception: ";
                reason += error.what();
            } catch (...) {
                reason += ": uncaught exception of unknown type";
            }
        }
        ReportAndLog(SIGABRT, nullptr, reason.c_str());
    }
    signal(SIGABRT, SIG_DFL);
    std::abort();
}

}  // namespace

CCrashDumpHandler::CCrashDumpHandler(const std::string& dumpPath) {
    Install();
    SetDumpPath(dumpPath);
}

CCrashDumpHandler::~CCrashDumpHandler() = default;

int CCrashDumpHandler::Install() {
    // backtrace() loads its unwinder on first use; do that now, not inside a signal handler.
    void* warmUp[2];
    backtrace(warmUp, 2);

    stack_t stack{};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = SignalHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < sizeof kFatalSignals / sizeof kFatalSignals[0]; ++i) {
        sigaction(kFatalSignals[i], &action, &g_previousActions[i]);
    }
    std::terminate_handler previous = std::set_terminate(TerminateHandler);
    if (previous != TerminateHandler) {
        g_previousTerminate = previous;
    }
    return 1;
}

void CCrashDumpHandler::SetDumpPath(const std::string& path) {
    const size_t length =
        path.size() < sizeof g_szDumpPath - 1 ? path.size() : sizeof g_szDumpPath - 1;
    std::memcpy(g_szDumpPath, path.data(), length);
    g_szDumpPath[length] = '\0';
}

std::string CCrashDumpHandler::GetDumpPath() {
    return g_szDumpPath;
}

bool CCrashDumpHandler::WriteMiniDump(const char* path, int signalNumber, const void* faultAddress,
                                      const char* reason) {
    if (path == nullptr || path[0] == '\0') {
        return false;
    }
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    Put(fd, "YavClient crash report\n");
    Put(fd, "signal: ");
    PutUnsigned(fd, static_cast<std::uint64_t>(signalNumber), 10);
    Put(fd, " (");
    Put(fd, SignalName(signalNumber));
    Put(fd, ")\nfault address: ");
    PutUnsigned(fd, reinterpret_cast<std::uintptr_t>(faultAddress), 16);
    if (reason != nullptr) {
        Put(fd, "\nreason: ");
        Put(fd, reason);
    }
    Put(fd, "\nprocess: ");
    PutUnsigned(fd, static_cast<std::uint64_t>(getpid()), 10);
    Put(fd, "\nthread: ");
    PutUnsigned(fd, static_cast<std::uint64_t>(syscall(SYS_gettid)), 10);
    Put(fd, "\ntime: ");
    PutUnsigned(fd, static_cast<std::uint64_t>(time(nullptr)), 10);
    char program[1024];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length > 0) {
        program[length] = '\0';
        Put(fd, "\nprogram: ");
        Put(fd, program);
    }
    Put(fd, "\n\nbacktrace:\n");
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    backtrace_symbols_fd(frames, count, fd);
    Put(fd, "\nloaded modules:\n");
    CopyFile(fd, "/proc/self/maps");
    close(fd);
    return true;
}
