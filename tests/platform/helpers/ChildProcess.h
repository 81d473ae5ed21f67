#pragma once
// Runs a piece of a test in a forked child: for real concurrency, for
// limits that must not touch the test process, and for permission checks
// that root would otherwise bypass (the child then drops to "nobody").
#include <cerrno>
#include <csignal>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lorvane::test {

inline bool RunningAsRoot() {
    return ::geteuid() == 0;
}

// For a child only: writes past `bytes` fail with EFBIG, as on a full disk,
// even for root.
inline void LimitFileSize(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Returns what the body reported: empty for success, else the failure, or
// a description of how the child died.
inline std::string RunInChild(const std::function<std::string()>& body, bool unprivileged = false) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        if (unprivileged && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            result = "cannot drop privileges";
        try {
            if (result.empty()) result = body();
        } catch (const std::exception& e) {
            result = std::string("exception: ") + e.what();
        }
        if (::write(fds[1], result.data(), result.size()) < 0) ::_exit(2);
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(fds[1]);
    std::string report;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) != 0;)
        if (n > 0)
            report.append(buf, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return report + " (child killed by signal " + std::to_string(WTERMSIG(status)) + ")";
    if (WEXITSTATUS(status) != 0 && report.empty()) return "child failed";
    return report;
}

} // namespace lorvane::test
