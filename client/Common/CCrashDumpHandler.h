#pragma once
// Leaves a crash report for support when the process fails: fatal signals (segmentation
// fault, bus error, illegal instruction, arithmetic fault, abort, bad system call, trap) and
// std::terminate write "Client.dmp" (signal, fault address, thread, backtrace with symbols,
// loaded modules) and the log line "进程退出产生dump文件 ExceptionCode 0x%x", then the process
// ends with the original signal. The report is written with async-signal-safe calls only; the
// symbol-demangled backtrace and the log line come after it, guarded by an alarm so that a
// lock held by the failed thread can delay the end by seconds at most. A thread that fails
// while another one writes the report waits for that report instead of ending the process.

#include <string>

class CCrashDumpHandler {
public:
    // Installs the handlers (Install) and remembers where the report goes.
    explicit CCrashDumpHandler(const std::string& dumpPath);
    ~CCrashDumpHandler();
    CCrashDumpHandler(const CCrashDumpHandler&) = delete;
    CCrashDumpHandler& operator=(const CCrashDumpHandler&) = delete;

    // Installs the fatal-signal handlers on an alternate stack (so a stack overflow is caught
    // too) and the terminate handler; returns 1. The calling thread gets its alternate stack
    // here; every other thread the program starts makes its own (yav::AltSignalStack).
    static int Install();

    // Where the report goes (copied into a fixed buffer the handlers read).
    static void SetDumpPath(const std::string& path);
    static std::string GetDumpPath();

    // Writes a report for the given signal and fault address into path (created or
    // truncated); false when the file cannot be created. Async-signal-safe. reason may be null.
    static bool WriteMiniDump(const char* path, int signalNumber, const void* faultAddress,
                              const char* reason);
};
