// Programs started with and without waiting, never through a shell; programs
// whose output is shown: both streams in the order written, the exit status,
// no input, stopping that reaches what the program started, and the wrappers
// found beside the editor.
#include "platform/Process.h"
#include "platform/ProcessOutput.h"
#include "platform/helpers/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/Thrown.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace lorvane;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

const std::string kHelper = LORVANE_ARG_HELPER;

// What the helper recorded: cwd, probe, arguments..., descriptor count.
Args Recorded(const std::string& file) {
    Args parts;
    const std::string bytes = test::ReadFileBytes(file);
    std::size_t start = 0;
    for (std::size_t nul; (nul = bytes.find('\0', start)) != std::string::npos; start = nul + 1)
        parts.push_back(bytes.substr(start, nul - start));
    return parts;
}

// Runs the test body from inside a scratch directory.
class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = fs::current_path();
        fs::current_path(dir_.path());
    }
    void TearDown() override { fs::current_path(old_); }

    test::TempDir dir_;
    fs::path old_;
};

} // namespace

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    using process::SplitCommandLine;
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine(" \t "), Args{});
    EXPECT_EQ(SplitCommandLine("tasm  a.asm\tb"), (Args{"tasm", "a.asm", "b"}));
    EXPECT_EQ(SplitCommandLine(" C:\\SRC\\A.HEX"), Args{"C:\\SRC\\A.HEX"})
        << "an empty run program leaves the built program first";
    EXPECT_EQ(SplitCommandLine("\"My Tools\\tasm.exe\" \"a b.asm\""),
              (Args{"My Tools\\tasm.exe", "a b.asm"}));
    EXPECT_EQ(SplitCommandLine("a\"b c\"d e"), (Args{"ab cd", "e"})) << "quotes inside a word";
    EXPECT_EQ(SplitCommandLine("x \"\" y"), (Args{"x", "", "y"}));
    EXPECT_EQ(SplitCommandLine("\"say \"\"hi\"\"\""), Args{"say \"hi\""});
    EXPECT_EQ(SplitCommandLine("\"C:\\TOOLS\\\" next"), (Args{"C:\\TOOLS\\", "next"}))
        << "backslashes are plain characters";
    EXPECT_EQ(SplitCommandLine("\"open ended"), Args{"open ended"});
}

// One start through a command line: its arguments reach the program as they
// were split, never through a shell, and it inherits the directory and the
// environment but no descriptor (not even one without close-on-exec).
TEST_F(ProcessTest, WaitingRunsTheProgramDirectlyAndReturnsItsExitCode) {
    const std::string out = dir_.File("args.out");
    const std::string cmd = "\"" + kHelper + "\" " + out +
                            " \"a;touch pwned\" $(touch pwned) `touch pwned` a|touch pwned "
                            "&&touch pwned >pwned";
    test::ScopedEnv probe("LORVANE_PROBE", "inherited value");
    test::ScopedEnv exitCode("LORVANE_HELPER_EXIT", "7");
    const int leaked = ::open("/dev/null", O_RDONLY);
    EXPECT_EQ(process::RunAndWait(cmd), 7);
    ::close(leaked);
    EXPECT_FALSE(fs::exists(dir_.path() / "pwned"));
    EXPECT_EQ(Recorded(out),
              (Args{"cwd=" + fs::canonical(dir_.path()).string(), "probe=inherited value",
                    "a;touch pwned", "$(touch", "pwned)", "`touch", "pwned`", "a|touch", "pwned",
                    "&&touch", "pwned", ">pwned", "fds=0"}));
}

TEST_F(ProcessTest, StartDoesNotWait) {
    const std::string out = dir_.File("late.out");
    test::ScopedEnv delay("LORVANE_HELPER_DELAY_MS", "300");
    process::Start("\"" + kHelper + "\" " + out + " later");
    EXPECT_FALSE(fs::exists(out)) << "the start waited for the program";
    for (int i = 0; i < 200 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(out));
    EXPECT_EQ(Recorded(out)[2], "later");
    // Once the helper has ended, reaping leaves no child behind (looked at
    // with WNOWAIT, which does not reap by itself).
    bool gone = false;
    for (int i = 0; i < 250 && !gone; ++i) {
        process::ReapFinished();
        siginfo_t info{};
        gone = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD;
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(gone) << "a started program was left as a zombie";
}

TEST_F(ProcessTest, ProgramsThatCannotRunCannotBeCreated) {
    test::WriteFileBytes(dir_.File("plain.txt"), "touch pwned\n");
    ::chmod(dir_.File("plain.txt").c_str(), 0644);
    test::WriteFileBytes(dir_.File("noshebang"), "touch pwned\n");
    ::chmod(dir_.File("noshebang").c_str(), 0755);
    const struct {
        std::string commandLine;
        int errorCode;
    } cases[] = {
        {"no-such-program-lorvane x", ENOENT},
        {dir_.File("missing/tool") + " x", ENOENT},
        {"./plain.txt", EACCES},
        {"./noshebang", ENOEXEC}, // not run through a shell either
        {dir_.path().string(), EACCES},
        {"", ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const auto error = test::Thrown<ProcessError>([&] { process::RunAndWait(c.commandLine); });
        ASSERT_TRUE(error);
        EXPECT_NE(std::string(error->what()).find("cannot be created"), std::string::npos);
        EXPECT_EQ(error->errorCode(), c.errorCode);
        EXPECT_THROW(process::Start(c.commandLine), ProcessError);
    }
    EXPECT_FALSE(fs::exists(dir_.path() / "pwned"));
    process::ShellOpen(dir_.File("nothing.htm")); // must not throw, whatever happens
    test::ScopedEnv path("PATH", dir_.path().string());
    process::ShellOpen(dir_.File("nothing.htm")); // even without xdg-open
}

namespace {

using process::CapturedProcess;

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
        CapturedProcess run(
            {"/bin/sh", "-c",
             "sh -c 'trap \"\" TERM; echo $$ > \"$0\"; exec sleep 30' '" + pidFile + "' & wait"});
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
    const std::pair<Args, Args> cases[] = {
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
