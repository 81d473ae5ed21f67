#pragma once
// Starting other programs: the configured compiler, linker and run
// program, the sibling programs, and documents through the desktop's
// "open". A command line is split into arguments here and the program is
// started directly, never through a shell, so nothing in a file name
// (";", "$(...)", backquotes) can run a command.
#include "platform/Error.h"

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace lorvane {

// A program that does not exist or cannot be executed. The text says the
// process "cannot be created"; errorCode() is the errno of the attempt.
class ProcessError : public Error {
public:
    ProcessError(const std::string& program, int errorCode);
    const std::string& program() const noexcept { return program_; }
    int errorCode() const noexcept { return errorCode_; }

private:
    std::string program_;
    int errorCode_;
};

namespace process {

// Splits a command line the way Windows programs split theirs: blanks
// (space, tab) separate arguments; a double quote anywhere in a word
// toggles grouping, so blanks inside quotes belong to the argument and the
// quotes themselves go; inside quotes, two double quotes stand for one
// literal quote. Backslashes are ordinary characters everywhere, so DOS
// paths such as "C:\TOOLS\" keep their trailing backslash.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Starts argv[0] (looked up in PATH when it has no "/") with the rest as
// arguments; the current directory and environment are inherited, file
// descriptors other than 0, 1 and 2 are not. Raises ProcessError.
//
// RunAndWait blocks until the program ends and returns its exit code
// (128 + the signal number when a signal ended it).
int RunAndWait(const std::vector<std::string>& argv);
int RunAndWait(std::string_view commandLine);
// Start returns at once; the program is reaped later (see below).
void Start(const std::vector<std::string>& argv);
void Start(std::string_view commandLine);

// Opens a document with the desktop's preferred program (xdg-open),
// started the same way. Whatever happens is ignored.
void ShellOpen(const std::string& path) noexcept;

// Collects programs started without waiting that have ended, so they do
// not linger as zombies. Every start does this too.
void ReapFinished() noexcept;

// A program whose output is shown (see ProcessOutput.h): standard input
// from /dev/null, standard output and error both into `outputFd`, and a
// process group of its own, so that stopping it reaches whatever it
// started. The caller reaps the returned process. Raises ProcessError.
pid_t SpawnCaptured(const std::vector<std::string>& argv, int outputFd);
// Leaves a started program that is still running to the collector above.
void ReapLater(pid_t pid);

} // namespace process
} // namespace lorvane
