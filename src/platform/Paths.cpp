#include "platform/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane::paths {

namespace {

// An unset or empty variable counts as absent. The XDG variables must hold
// absolute paths; a relative one is ignored, as the XDG rules require.
std::string Env(const char* name, bool mustBeAbsolute) {
    const char* value = std::getenv(name);
    if (!value || !*value) return {};
    if (mustBeAbsolute && value[0] != '/') return {};
    return value;
}

std::string HomeDirectory() {
    std::string home = Env("HOME", false);
    if (!home.empty()) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// mkdir -p; returns whether the directory exists afterwards.
bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) MakeDirectories(path.substr(0, slash));
    if (::mkdir(path.c_str(), 0700) == 0) return true;
    return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A directory only this user can enter: its own, with no access for group
// or others (the rule for the runtime directory). With `follow`, a symbolic
// link is judged by what it points to. Empty when private, else why not.
std::string WhyNotPrivate(const std::string& path, bool follow) {
    struct stat st {};
    if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0)
        return path + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return path + " не каталог";
    if (st.st_uid != ::geteuid())
        return path + " принадлежит другому пользователю (uid " + std::to_string(st.st_uid) + ")";
    if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return path + " открыт другим (права " + mode + ")";
    }
    return {};
}

// Said once a run, on the error stream: the program goes on as it can (the
// lock and every socket ask for the directory again).
void SayOnce(const std::string& text) {
    static std::mutex mutex;
    static std::set<std::string> said;
    const std::lock_guard<std::mutex> guard(mutex);
    if (said.insert(text).second) std::fprintf(stderr, "lorvane: %s\n", text.c_str());
}

} // namespace

std::string Join(std::string_view directory, std::string_view name) {
    std::string result(directory);
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    if (result.empty() || result.back() != '/') result += '/';
    result += name;
    return result;
}

std::string ConfigDirectory() {
    std::string dir = Env("LORVANE_CONFIG_HOME", false);
    if (dir.empty()) {
        const std::string xdg = Env("XDG_CONFIG_HOME", true);
        dir = Join(xdg.empty() ? Join(HomeDirectory(), ".config") : xdg, "lorvane");
    }
    MakeDirectories(dir);
    return dir;
}

std::string RuntimeDirectory() {
    // The instance lock and the sockets there decide who may hand this
    // program files: a directory someone else owns or can enter is not used.
    std::string refused;
    if (const std::string xdg = Env("XDG_RUNTIME_DIR", true); !xdg.empty()) {
        const std::string dir = Join(xdg, "lorvane");
        refused = WhyNotPrivate(xdg, true);
        if (refused.empty()) {
            MakeDirectories(dir);
            refused = WhyNotPrivate(dir, false);
            if (refused.empty()) return dir;
        }
    }
    const std::string own = Join(ConfigDirectory(), "run");
    MakeDirectories(own);
    if (const std::string why = WhyNotPrivate(own, false); !why.empty()) {
        SayOnce("нет личного каталога для блокировки и сокетов (" +
                (refused.empty() ? why : refused + "; " + why) + "): программа работает без них");
        return {};
    }
    if (!refused.empty()) SayOnce(refused + ": блокировка и сокеты будут в " + own);
    return own;
}

std::string ProgramDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    buffer.resize(static_cast<std::size_t>(n));
    const auto slash = buffer.find_last_of('/');
    return slash == std::string::npos ? std::string{} : buffer.substr(0, slash == 0 ? 1 : slash);
}

std::string DataDirectory() {
    if (std::string dir = Env("LORVANE_DATA_DIR", false); !dir.empty())
        return IsDirectory(dir) ? dir : std::string{};
    const std::string bin = ProgramDirectory();
    if (bin.empty()) return {};
    // Installed first: a build tree inside the source tree finds the
    // source's share/lorvane the same way, which holds the same files.
    for (const char* relative : {"../share/lorvane", "share/lorvane"}) {
        std::string dir = Join(bin, relative);
        if (IsDirectory(dir)) return dir;
    }
    return {};
}

std::string DataFile(std::string_view relative) {
    const std::string dir = DataDirectory();
    if (dir.empty() || relative.empty()) return {};
    std::string path = Join(dir, relative);
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? path : std::string{};
}

std::string ResolveBareName(std::string_view name) {
    if (name.empty() || name.find('/') != std::string_view::npos) return std::string(name);
    return Join(ConfigDirectory(), name);
}

} // namespace lorvane::paths
