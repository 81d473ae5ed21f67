#include "platform/AtomicFile.h"

#include "platform/Error.h"
#include "platform/FileErrorText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace lorvane {

namespace {

constexpr std::size_t kBufferLimit = 1 << 16;

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links (also dangling ones, whose target will be
// created) so the rename replaces the file the link points to instead of
// the link. A loop of links stops after 40 hops at the last name reached.
std::string ResolveLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0) return path;
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : DirectoryOf(path) + "/" + link;
    }
    return path;
}

// Temporaries are ".<name>.lorvane-<pid>-<random>.tmp": recognisable as
// ours, and the writer's process id tells whether one can still be in use.
constexpr std::string_view kTempMark = ".lorvane-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr std::size_t kRandomLength = 8;

std::string TempPrefix(const std::string& target) {
    return "." + NameOf(target).substr(0, 200) + std::string(kTempMark);
}

// Anything but a regular file (a directory, a device, a pipe) in place of
// the target: the rename would replace it, or fail after all the writing.
void RefuseNotRegular(const std::string& target, const std::string& path) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return;
    throw IoError(FileErrorText("write", path, NotRegularReason(st.st_mode)), path,
                  S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
}

std::string RandomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}() ^
                                                  static_cast<std::uint64_t>(::getpid())};
    static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s(kRandomLength, 'x');
    for (char& c : s)
        c = kDigits[generator() % (sizeof(kDigits) - 1)];
    return s;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::string path)
    : path_(std::move(path)), target_(ResolveLinks(path_)) {
    RefuseNotRegular(target_, path_);
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    // O_EXCL with a fresh name instead of mkstemp: the 0666 request is then
    // filtered by the umask, as any newly created file would be.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        // The name is shortened so that a long target name still leaves
        // room for the suffix within the file system's name limit.
        tempPath_ = DirectoryOf(target_) + "/" + TempPrefix(target_) + std::to_string(::getpid()) +
                    "-" + RandomSuffix() + std::string(kTempEnd);
        fd_ = ::open(tempPath_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    // Held until the writer is done: a cleaner elsewhere leaves a locked
    // temporary alone (a file system without locks just does not lock).
    if (fd_ >= 0) ::flock(fd_, LOCK_EX | LOCK_NB);
    if (fd_ < 0) {
        const int err = errno;
        tempPath_.clear();
        IoError::Throw("write", path_, err);
    }
    if (exists) {
        // Owner first: fchown may clear set-id bits, which fchmod restores.
        // Failing is normal for another user's file in our directory: we
        // then become its owner, as any rewrite would make us.
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
        }
        if (::fchmod(fd_, existing.st_mode & 07777) != 0) Fail("write", errno);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Discard() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
    buffer_.clear();
}

void AtomicFileWriter::Fail(const std::string& what, int errorCode) {
    Discard();
    IoError::Throw(what, path_, errorCode);
}

void AtomicFileWriter::FlushBuffer() {
    if (fd_ < 0) {
        if (committed_) throw Error("The file \"" + path_ + "\" has already been written");
        IoError::Throw("write", path_, EBADF);
    }
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("write", errno);
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

std::int64_t AtomicFileWriter::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    synced_ = false;
    buffer_.append(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
    if (buffer_.size() >= kBufferLimit) FlushBuffer();
    return count;
}

std::int64_t AtomicFileWriter::Read(void* buffer, std::int64_t count) {
    FlushBuffer();
    std::int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("read", errno);
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

std::int64_t AtomicFileWriter::Seek(std::int64_t offset, SeekOrigin origin) {
    FlushBuffer();
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    const off_t r = ::lseek(fd_, offset, whence);
    if (r < 0) Fail("seek in", errno);
    return r;
}

std::int64_t AtomicFileWriter::Size() {
    FlushBuffer();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail("stat", errno);
    return st.st_size;
}

void AtomicFileWriter::Sync() {
    // A save syncs before its backup and commits after it: nothing written
    // in between, so the second sync would only wait on the disk again.
    if (synced_ && fd_ >= 0) return;
    FlushBuffer();
    if (::fsync(fd_) != 0) Fail("write", errno);
    synced_ = true;
}

void AtomicFileWriter::Commit() {
    Sync();
    try {
        RefuseNotRegular(target_, path_);
    } catch (...) {
        Discard();
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("write", errno);
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) Fail("write", errno);
    tempPath_.clear();
    committed_ = true;
    // The rename itself must survive a crash too; a directory that cannot
    // be synced (some network file systems) is no reason to fail.
    const int dir = ::open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    writer.Commit();
}

void RemoveStaleTemporaries(std::initializer_list<std::string> paths) noexcept {
    try {
        // Folder -> the temporary-name prefixes of the files in it.
        std::vector<std::pair<std::string, std::vector<std::string>>> folders;
        for (const std::string& path : paths) {
            const std::string target = ResolveLinks(path);
            const std::string directory = DirectoryOf(target);
            auto folder = std::find_if(folders.begin(), folders.end(),
                                       [&](const auto& f) { return f.first == directory; });
            if (folder == folders.end()) folder = folders.insert(folders.end(), {directory, {}});
            folder->second.push_back(TempPrefix(target));
        }
        for (const auto& [directory, prefixes] : folders) {
            DIR* dir = ::opendir(directory.c_str());
            if (dir == nullptr) continue;
            std::vector<std::string> stale;
            while (const dirent* entry = ::readdir(dir)) {
                const std::string_view name = entry->d_name;
                if (!name.ends_with(kTempEnd)) continue;
                for (const std::string& prefix : prefixes) {
                    if (!name.starts_with(prefix)) continue;
                    // The writer's process id, then '-' and the random part.
                    const std::string_view rest = name.substr(prefix.size());
                    const std::size_t dash = rest.find('-');
                    if (dash == 0 || dash > 9 ||
                        rest.size() != dash + 1 + kRandomLength + kTempEnd.size())
                        continue;
                    pid_t pid = 0;
                    bool digits = true;
                    for (const char c : rest.substr(0, dash)) {
                        digits = digits && c >= '0' && c <= '9';
                        pid = pid * 10 + (c - '0');
                    }
                    // A writer still running (or a process that took its id)
                    // may be writing it: only a dead writer's file is ours.
                    if (!digits || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
                        continue;
                    stale.emplace_back(name);
                    break;
                }
            }
            ::closedir(dir);
            for (const std::string& name : stale) {
                const std::string file = directory + "/" + name;
                const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
                if (fd < 0) continue;
                struct stat st {};
                // The lock also covers a writer on another machine sharing the
                // directory, whose process id means nothing here.
                if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                    ::flock(fd, LOCK_EX | LOCK_NB) == 0)
                    ::unlink(file.c_str());
                ::close(fd);
            }
        }
    } catch (...) {
        // Cleaning up is a courtesy: it never stops an open or a save.
    }
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            errno = err;
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

} // namespace lorvane
