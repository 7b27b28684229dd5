#pragma once
// Outside programs: start them without waiting (the muxer, the updater), wait for them where
// a caller needs the result, and find processes of our own. Nothing here ever signals a
// process of another user.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace yav::process {

// Starts program (a path; a bare name is looked up in PATH) with the arguments, in
// workingDir when not empty, with standard input from /dev/null. The child is reaped in the
// background when nobody waits for it. Returns its process id, or -1 (logged) when it cannot
// be started.
int Start(const std::string& program, const std::vector<std::string>& arguments,
          const std::string& workingDir = {});

// Waits up to timeoutMs for a process started by Start; its exit code (128 + signal number
// when a signal ended it), or nothing on time-out.
std::optional<int> Wait(int pid, std::uint32_t timeoutMs);

// Process ids of the running processes of this user whose executable file name is name (the
// calling process included when it matches).
std::vector<int> FindOwnProcessesByName(const std::string& name);

// Process ids whose parent is this process.
std::vector<int> FindChildren();

// Executable file name (no folder) of a process; empty when it is gone or not readable.
std::string ExecutableName(int pid);

// Ends a process of this user (SIGTERM, or SIGKILL when force); false for another user's
// process or one that is gone.
bool Terminate(int pid, bool force = false);

}  // namespace yav::process
