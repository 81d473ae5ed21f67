#pragma once
// The one way the program writes over a file: the new contents go into a
// temporary file in the same directory, are flushed to the disk and renamed
// over the target, so a failed or interrupted write never leaves a half
// file behind. Failures raise IoError naming the target (not the temporary)
// with the errno of the failing step; the temporary is removed.
//
// An existing target keeps its permission bits (and owner where the system
// allows); a symbolic link is written through, so the link stays a link and
// the file it points to gets the new contents. Only a regular file is ever
// replaced: a directory, device or pipe in its place fails the write.
#include "platform/Stream.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace lorvane {

// Replaces (or creates) `path` with `bytes`.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// A stream into a new version of `path`. Nothing is visible at `path` until
// Commit(); a writer destroyed without Commit() removes its temporary file
// and leaves the target as it was. Reading back and seeking are allowed.
class AtomicFileWriter : public TStream {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;

    // Writes out what is gathered and syncs it, so that a full disk shows
    // now, before anything else the save touches (its backup) changes.
    void Sync();
    // Flushes, syncs and renames over the target. After a failure the
    // writer is discarded (the target untouched) and cannot be committed.
    void Commit();
    // Throws the new contents away now; the target stays as it was.
    void Discard() noexcept;

    const std::string& path() const noexcept { return path_; }
    bool committed() const noexcept { return committed_; }

private:
    void FlushBuffer();
    [[noreturn]] void Fail(const std::string& what, int errorCode);

    std::string path_;   // as the caller named it; used in error texts
    std::string target_; // symbolic links resolved: the file renamed over
    std::string tempPath_;
    int fd_ = -1;
    std::string buffer_;  // sequential writes are gathered here
    bool synced_ = false; // nothing written since the last sync
    bool committed_ = false;
};

// Removes the temporaries writers of `paths` left when they died (a crash
// or a kill in the middle of a save); never one whose writer may still run.
// Each folder is read once for all the names in it.
void RemoveStaleTemporaries(std::initializer_list<std::string> paths) noexcept;

// Reads the whole file into `out`; false with errno set when it cannot be
// read (a missing file is ENOENT), so callers decide what a failure means.
bool ReadWholeFile(const std::string& path, std::string& out);

} // namespace lorvane
