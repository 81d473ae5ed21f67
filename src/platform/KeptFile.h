#pragma once
// A file read once and kept in memory (parsed) for as long as it stays as
// it is: the registry files and the settings files are read on every idle
// pass and every activation of the frame, and parsing a large one each
// time would make the program slow to the touch.
//
// A version of a file is known by its inode, size and modification time: a
// write that replaces the file (by a rename) gives it another inode, one
// that rewrites it in place another size or time. The time alone cannot
// tell two versions apart that were written within one tick of the file
// system's clock, so a version read that soon after it was written is read
// again the next time.
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace lorvane {

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    FileStamp() = default;
    explicit FileStamp(const struct stat& st) noexcept
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim) {}
    // The file as it is now; nothing when it cannot be looked at.
    static std::optional<FileStamp> Of(const std::string& path) noexcept;

    bool operator==(const FileStamp& o) const noexcept {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
    // True when this version was read at `readAt` long enough after it was
    // written that no later write can leave the stamp as it is.
    bool SettledAt(const timespec& readAt) const noexcept;
};

// The real-time clock the file system stamps files with.
timespec FileClockNow() noexcept;

// Gives a file just written (by a writer that holds the file's lock) a
// modification time of its own to the nanosecond, later than `previous`
// (the version it replaced): no other version, of a writer that does the
// same or of one that takes the clock's coarse tick, has that time. The
// file's stamp afterwards when that time was kept, else nothing.
std::optional<FileStamp> MarkNewVersion(const std::string& path, const timespec& previous) noexcept;

// Reads the whole file and its stamp from one descriptor, so the two
// belong together. False with errno set when it cannot be read (a missing
// file is ENOENT).
bool ReadStamped(const std::string& path, std::string& out, FileStamp& stamp);

// What was made of each file (a parsed registry, the lines of a settings
// file), by path, with the version it was made from. Safe to use from
// several threads.
template <typename T> class KeptFiles {
public:
    using Ptr = std::shared_ptr<const T>;

    // What was kept for this version of the file, or null.
    Ptr Find(const std::string& path, const FileStamp& stamp) const {
        std::lock_guard<std::mutex> guard(mutex_);
        const auto it = entries_.find(path);
        if (it == entries_.end() || !(it->second.stamp == stamp)) return {};
        if (!it->second.exact && !stamp.SettledAt(it->second.readAt)) return {};
        return it->second.value;
    }
    // `readAt`: a time taken before the file was read (or written).
    void Store(const std::string& path, const FileStamp& stamp, const timespec& readAt, Ptr value) {
        std::lock_guard<std::mutex> guard(mutex_);
        entries_.insert_or_assign(path, Entry{stamp, readAt, std::move(value), false});
    }
    // A version this process has just written and stamped with
    // MarkNewVersion(): its time is its own to the nanosecond, so it is
    // trusted at once.
    void StoreWritten(const std::string& path, const FileStamp& stamp, Ptr value) {
        std::lock_guard<std::mutex> guard(mutex_);
        entries_.insert_or_assign(path, Entry{stamp, timespec{}, std::move(value), true});
    }
    void Forget(const std::string& path) {
        std::lock_guard<std::mutex> guard(mutex_);
        entries_.erase(path);
    }

private:
    struct Entry {
        FileStamp stamp;
        timespec readAt;
        Ptr value;
        bool exact;
    };
    mutable std::mutex mutex_;
    std::map<std::string, Entry> entries_;
};

} // namespace lorvane
