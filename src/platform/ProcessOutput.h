#pragma once
// A tool whose output the program shows: the compiler, linker and run
// program. It starts like every other program (words, never a shell), with
// its standard output and standard error going into one unnamed file that
// is read as it grows. A file rather than a pipe: a program left running
// when the editor ends (a DOS box started by Run) keeps writing into it
// instead of dying of a broken pipe, and nothing needs a reader thread.
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lorvane::process {

class CapturedProcess {
public:
    // Starts argv[0] (looked up in PATH when it has no "/"). Raises
    // ProcessError when it cannot be started, IoError when the output
    // file cannot be made.
    explicit CapturedProcess(const std::vector<std::string>& argv);
    // A program still running is left to run; it is collected when it ends.
    ~CapturedProcess();
    CapturedProcess(const CapturedProcess&) = delete;
    CapturedProcess& operator=(const CapturedProcess&) = delete;

    // The bytes written since the last call, both streams in the order
    // they were written.
    std::string ReadOutput();
    // Checks without blocking whether the program has ended; true once it
    // has. A program asked to stop that still runs two seconds later is
    // killed here.
    bool Poll();
    bool Finished() const noexcept { return finished_; }
    // The exit code, or 128 + the signal number when a signal ended it.
    int ExitCode() const noexcept { return exitCode_; }
    int TermSignal() const noexcept { return termSignal_; }
    // From the start to the moment Poll found the end (or until now).
    std::chrono::steady_clock::duration Elapsed() const;

    // Asks the program and everything it started to end (SIGTERM to its
    // process group).
    void Terminate() noexcept;
    bool TerminateRequested() const noexcept { return terminateRequested_; }
    pid_t Pid() const noexcept { return pid_; }

private:
    int fd_ = -1;
    pid_t pid_ = 0;
    off_t offset_ = 0;
    bool finished_ = false;
    bool terminateRequested_ = false;
    bool killed_ = false;
    int exitCode_ = 0;
    int termSignal_ = 0;
    std::chrono::steady_clock::time_point started_, ended_, terminateAt_;
};

// A bare program name starting with "lorvane-" (the wrappers shipped with
// the tool-chain profiles) names the program of that name beside the
// running editor when there is one, so a profile works from the build tree
// and from an installed tree alike; anything else is left for PATH.
std::vector<std::string> ResolveCompanion(std::vector<std::string> argv,
                                          const std::string& programDirectory);

} // namespace lorvane::process
