// Programs whose output is shown: both streams in the order written, the
// exit status, no input, stopping that reaches what the program started,
// and the wrappers found beside the editor.
#include "platform/ProcessOutput.h"
#include "platform/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>

namespace lorvane {
namespace {

using process::CapturedProcess;
using Words = std::vector<std::string>;

// Polls to the end (at most ten seconds), collecting the output.
std::string RunToEnd(CapturedProcess& run) {
    std::string output;
    for (int i = 0; i < 1000 && !run.Poll(); ++i) {
        output += run.ReadOutput();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return output + run.ReadOutput();
}

TEST(CapturedProcess, BothStreamsInOrderTheExitCodeAndNoInput) {
    // `cat` would wait for ever on an inherited terminal; it gets nothing.
    CapturedProcess run(
        {"/bin/sh", "-c", "echo out; echo err >&2; cat; printf 'tail'; exit 3", "x"});
    EXPECT_EQ(RunToEnd(run), "out\nerr\ntail");
    EXPECT_TRUE(run.Finished());
    EXPECT_EQ(run.ExitCode(), 3);
    EXPECT_EQ(run.TermSignal(), 0);
    EXPECT_THROW(CapturedProcess({"/nonexistent/tool"}), ProcessError);
}

// A file's contents; empty when there is none (yet).
std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Gone, or only a zombie waiting for whoever adopted it.
bool Gone(pid_t pid) {
    if (::kill(pid, 0) != 0) return true;
    const std::string stat = Contents("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && stat.substr(close + 2, 1) == "Z";
}

TEST(CapturedProcess, StoppingEndsTheProgramAndWhatItStarted) {
    test::TempDir dir;
    const std::string pidFile = dir.File("child.pid");
    pid_t child = 0;
    {
        // The child ignores the polite request: only killing ends it. It
        // names itself only once it ignores it, so a busy machine cannot
        // deliver the request first.
        CapturedProcess run({"/bin/sh", "-c",
                             "sh -c 'trap \"\" TERM; echo $$ > \"$0\"; exec sleep 30' '" +
                                 pidFile + "' & wait"});
        while (Contents(pidFile).find('\n') == std::string::npos && !run.Poll())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        child = std::stoi(Contents(pidFile));
        run.Terminate();
        RunToEnd(run);
        EXPECT_EQ(run.TermSignal(), SIGTERM);
        EXPECT_EQ(run.ExitCode(), 128 + SIGTERM);
        EXPECT_FALSE(Gone(child)) << "a TERM it ignores leaves it";
    }
    for (int i = 0; i < 200 && !Gone(child); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(Gone(child));
    if (!Gone(child)) ::kill(child, SIGKILL);
}

TEST(ResolveCompanion, OnlyBareWrapperNamesBesideTheProgram) {
    test::TempDir dir;
    const std::string bin = dir.path().string();
    test::WriteFileBytes(dir.File("lorvane-nasm"), "#!/bin/sh\n");
    ::chmod(dir.File("lorvane-nasm").c_str(), 0755);
    test::WriteFileBytes(dir.File("lorvane-plain"), "not executable");
    const std::pair<Words, Words> cases[] = {
        {{"lorvane-nasm", "a.asm"}, {bin + "/lorvane-nasm", "a.asm"}},
        {{"lorvane-plain"}, {"lorvane-plain"}},
        {{"lorvane-missing"}, {"lorvane-missing"}},
        {{"nasm"}, {"nasm"}},
        {{"./lorvane-nasm"}, {"./lorvane-nasm"}},
        {{}, {}},
    };
    for (const auto& [argv, expected] : cases)
        EXPECT_EQ(process::ResolveCompanion(argv, bin), expected);
}

} // namespace
} // namespace lorvane
