#include "platform/KeptFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace lorvane {

std::optional<FileStamp> FileStamp::Of(const std::string& path) noexcept {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp(st);
}

bool FileStamp::SettledAt(const timespec& readAt) const noexcept {
    // A time in whole seconds: the file system keeps no finer one.
    const std::int64_t margin = modified.tv_nsec == 0 ? 2000000000LL : 20000000LL;
    const std::int64_t written = modified.tv_sec * 1000000000LL + modified.tv_nsec;
    const std::int64_t read = readAt.tv_sec * 1000000000LL + readAt.tv_nsec;
    return written + margin < read;
}

timespec FileClockNow() noexcept {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

std::optional<FileStamp> MarkNewVersion(const std::string& path,
                                        const timespec& previous) noexcept {
    timespec next = previous;
    if (++next.tv_nsec >= 1000000000L) {
        next.tv_nsec = 0;
        ++next.tv_sec;
    }
    const timespec now = FileClockNow();
    if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec))
        next = now;
    const timespec times[2] = {{0, UTIME_OMIT}, next};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return std::nullopt;
    auto stamp = FileStamp::Of(path);
    if (!stamp || stamp->modified.tv_sec != next.tv_sec || stamp->modified.tv_nsec != next.tv_nsec)
        return std::nullopt;
    return stamp;
}

bool ReadStamped(const std::string& path, std::string& out, FileStamp& stamp) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        stamp = FileStamp(st);
        out.reserve(static_cast<std::size_t>(st.st_size));
    }
    char buf[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

} // namespace lorvane
