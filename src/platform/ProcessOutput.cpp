#include "platform/ProcessOutput.h"

#include "platform/Error.h"
#include "platform/Process.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lorvane::process {
namespace {

constexpr auto kKillAfter = std::chrono::seconds(2);
// A program that prints without end must not fill the disk: past this the
// file is emptied once its contents are read. A write landing between the
// read and the emptying is lost, which only such a flood can notice.
constexpr off_t kRewindAt = off_t{16} << 20;

// An unnamed file: removed at once, it lives as long as a descriptor does.
int UnnamedFile() {
    const char* tmp = std::getenv("TMPDIR");
    std::string name =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/lorvane-output-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) IoError::ThrowErrno("create", name);
    ::unlink(name.c_str());
    // The program's writes always land at the end, wherever we read.
    ::fcntl(fd, F_SETFL, O_APPEND);
    return fd;
}

} // namespace

CapturedProcess::CapturedProcess(const std::vector<std::string>& argv) : fd_(UnnamedFile()) {
    started_ = std::chrono::steady_clock::now();
    try {
        pid_ = SpawnCaptured(argv, fd_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

CapturedProcess::~CapturedProcess() {
    // What it started that ignored the request to stop goes now.
    if (terminateRequested_ && !killed_) ::kill(-pid_, SIGKILL);
    if (!finished_ && !Poll()) ReapLater(pid_);
    ::close(fd_);
}

std::string CapturedProcess::ReadOutput() {
    std::string out;
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t n = ::pread(fd_, buffer.data(), buffer.size(), offset_);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buffer.data(), static_cast<std::size_t>(n));
        offset_ += n;
    }
    if (offset_ >= kRewindAt && ::ftruncate(fd_, 0) == 0) offset_ = 0;
    return out;
}

bool CapturedProcess::Poll() {
    // The group is killed at the deadline even when its leader has gone:
    // it may have left a child that ignores the request. (Its number stays
    // the group's while any member lives.)
    if (terminateRequested_ && !killed_ && std::chrono::steady_clock::now() >= terminateAt_) {
        killed_ = true;
        ::kill(-pid_, SIGKILL);
    }
    if (finished_) return true;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        finished_ = true;
        ended_ = std::chrono::steady_clock::now();
        termSignal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        exitCode_ = termSignal_ != 0 ? 128 + termSignal_ : WEXITSTATUS(status);
        return true;
    }
    if (r < 0 && errno == ECHILD) { // collected elsewhere: its status is gone
        finished_ = true;
        ended_ = std::chrono::steady_clock::now();
        exitCode_ = -1;
        return true;
    }
    return false;
}

std::chrono::steady_clock::duration CapturedProcess::Elapsed() const {
    return (finished_ ? ended_ : std::chrono::steady_clock::now()) - started_;
}

void CapturedProcess::Terminate() noexcept {
    if (finished_) return;
    if (!terminateRequested_) {
        terminateRequested_ = true;
        terminateAt_ = std::chrono::steady_clock::now() + kKillAfter;
    }
    ::kill(-pid_, SIGTERM);
}

std::vector<std::string> ResolveCompanion(std::vector<std::string> argv,
                                          const std::string& programDirectory) {
    if (argv.empty() || programDirectory.empty()) return argv;
    const std::string& name = argv.front();
    if (name.rfind("lorvane-", 0) != 0 || name.find('/') != std::string::npos) return argv;
    const std::string beside = programDirectory + "/" + name;
    struct stat info {};
    if (::stat(beside.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(beside.c_str(), X_OK) == 0)
        argv.front() = beside;
    return argv;
}

} // namespace lorvane::process
