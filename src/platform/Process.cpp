#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lorvane {

ProcessError::ProcessError(const std::string& program, int errorCode)
    : Error("Process \"" + program + "\" cannot be created: " + std::strerror(errorCode)),
      program_(program), errorCode_(errorCode) {}

namespace process {

namespace {

std::mutex& StartedMutex() {
    static std::mutex m;
    return m;
}

std::vector<pid_t>& Started() {
    static std::vector<pid_t> pids;
    return pids;
}

// Owns the spawn attribute objects for one start.
class SpawnSetup {
public:
    // outputFd >= 0: the program's input is /dev/null, its output and
    // errors go to outputFd, and it leads a process group of its own.
    explicit SpawnSetup(int outputFd = -1) {
        ::posix_spawnattr_init(&attr_);
        ::posix_spawn_file_actions_init(&actions_);
        // The child starts with no blocked signals and default handlers,
        // whatever this process (or the toolkit) has set up.
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        ::posix_spawnattr_setsigmask(&attr_, &none);
        ::posix_spawnattr_setsigdefault(&attr_, &all);
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (outputFd >= 0) {
            flags |= POSIX_SPAWN_SETPGROUP;
            ::posix_spawnattr_setpgroup(&attr_, 0);
            ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
            ::posix_spawn_file_actions_adddup2(&actions_, outputFd, 1);
            ::posix_spawn_file_actions_adddup2(&actions_, outputFd, 2);
        }
        ::posix_spawnattr_setflags(&attr_, flags);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        // No handles of ours (documents, locks, sockets) leak into tools.
        ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
#endif
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawnattr_t* attr() const noexcept {
        return &attr_;
    }
    const posix_spawn_file_actions_t* actions() const noexcept {
        return &actions_;
    }

private:
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
};

pid_t Spawn(const std::vector<std::string>& argv, int outputFd = -1) {
    ReapFinished();
    if (argv.empty() || argv.front().empty()) throw ProcessError("", ENOENT);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    SpawnSetup setup(outputFd);
    pid_t pid = 0;
    // posix_spawnp reports a failed exec (missing program, no execute
    // permission, not an executable) as its result; it never falls back
    // to a shell.
    const int rc =
        ::posix_spawnp(&pid, args[0], setup.actions(), setup.attr(), args.data(), environ);
    if (rc != 0) throw ProcessError(argv.front(), rc);
    return pid;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if (c == '"') {
            inWord = true;
            if (quoted && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) args.push_back(std::move(current));
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord) args.push_back(std::move(current));
    return args;
}

int RunAndWait(const std::vector<std::string>& argv) {
    const pid_t pid = Spawn(argv);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

int RunAndWait(std::string_view commandLine) {
    return RunAndWait(SplitCommandLine(commandLine));
}

void Start(const std::vector<std::string>& argv) {
    const pid_t pid = Spawn(argv);
    const std::lock_guard lock(StartedMutex());
    Started().push_back(pid);
}

void Start(std::string_view commandLine) {
    Start(SplitCommandLine(commandLine));
}

void ShellOpen(const std::string& path) noexcept {
    try {
        Start(std::vector<std::string>{"xdg-open", path});
    } catch (...) {
        // Opening a document is a convenience; its failure is not reported.
    }
}

pid_t SpawnCaptured(const std::vector<std::string>& argv, int outputFd) {
    return Spawn(argv, outputFd);
}

void ReapLater(pid_t pid) {
    const std::lock_guard lock(StartedMutex());
    Started().push_back(pid);
}

void ReapFinished() noexcept {
    const std::lock_guard lock(StartedMutex());
    auto& pids = Started();
    std::erase_if(pids, [](pid_t pid) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

} // namespace process
} // namespace lorvane
