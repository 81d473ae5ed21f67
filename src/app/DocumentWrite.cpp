// Writing a document and its backup. Both go through a temporary file
// renamed over the old one only when complete, so a full disk or a kill in
// the middle leaves the file and its .BAK as they were; a backup that
// cannot be made stops the save, as nothing may be called saved that was
// not.
#include "app/Child.h"
#include "app/CommandProgress.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/FileErrorText.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {
namespace {

// A file the user may not write in place is not replaced by a rename
// either: without a write bit it is read-only even for root.
void RefuseReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    int err = (st.st_mode & 0222) == 0 ? EACCES : 0;
    if (err == 0 && ::access(path.c_str(), W_OK) != 0 && errno != ENOENT) err = errno;
    if (err == 0) return;
    throw IoError(
        FileErrorText("create", path,
                      err == EACCES ? std::string("файл только для чтения") : SystemErrorText(err)),
        path, err);
}

void CopyInto(int from, const std::string& fromPath, TStream& to) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    const auto buffer = std::make_unique<char[]>(kChunk);
    for (;;) {
        const ssize_t n = ::read(from, buffer.get(), kChunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            IoError::ThrowErrno("read", fromPath);
        }
        if (n == 0) return;
        to.WriteBuffer(buffer.get(), n);
        TCommandProgress::Pump();
    }
}

} // namespace

void MakeBackup(const std::string& fileName) {
    const std::string backup = BackupName(fileName);
    // A ".BAK" file is its own backup name: it is the file being written.
    if (backup == fileName) return;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return; // nothing yet to keep
        IoError::ThrowErrno("open", fileName);
    }
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) IoError::ThrowErrno("stat", fileName);
    if (!S_ISREG(st.st_mode))
        throw IoError(FileErrorText("open", fileName, NotRegularReason(st.st_mode)), fileName,
                      EINVAL);
    AtomicFileWriter out(backup);
    CopyInto(fd, fileName, out);
    out.Commit();
}

void WriteDocumentFile(const std::string& path, bool backup,
                       const std::function<void(TStream&)>& fill) {
    RefuseReadOnly(path);
    AtomicFileWriter writer(path);
    fill(writer);
    // The new text is on the disk before the old backup gives way: a short
    // text waits in the writer's buffer, and a full disk found only at the
    // end would have cost the previous backup for nothing.
    writer.Sync();
    if (backup) {
        try {
            MakeBackup(path);
        } catch (const std::exception& error) {
            throw Error("Резервная копия " + BackupName(path) +
                        " не записана, поэтому файл не сохранён.\n" + error.what());
        }
    }
    writer.Commit();
    RemoveStaleTemporaries({path, BackupName(path)});
}

} // namespace lorvane
