#include "platform/Stream.h"

#include "platform/Error.h"
#include "platform/FileErrorText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lorvane {

void IoError::Throw(const std::string& what, const std::string& path, int errorCode) {
    throw IoError(FileErrorText(what, path, errorCode), path, errorCode);
}

void IoError::ThrowErrno(const std::string& what, const std::string& path) {
    Throw(what, path, errno);
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw Error("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw Error("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    constexpr std::int64_t kChunk = 1 << 16;
    std::vector<char> buf(static_cast<std::size_t>(std::min(count, kChunk)));
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t n = std::min(count - done, kChunk);
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        done += n;
    }
    return done;
}

std::int64_t TStringStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t size = Size();
    if (count <= 0 || pos_ >= size) return 0;
    const std::int64_t n = std::min(count, size - pos_);
    std::memcpy(buffer, data_.data() + pos_, static_cast<std::size_t>(n));
    pos_ += n;
    return n;
}

std::int64_t TStringStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    const auto end = static_cast<std::size_t>(pos_ + count);
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + pos_, buffer, static_cast<std::size_t>(count));
    pos_ += count;
    return count;
}

std::int64_t TStringStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current) base = pos_;
    if (origin == SeekOrigin::End) base = Size();
    pos_ = std::max<std::int64_t>(0, base + offset);
    return pos_;
}

TFileStream::TFileStream(const std::string& path, Mode mode) : path_(path) {
    int flags = O_RDONLY;
    if (mode == Create) flags = O_RDWR | O_CREAT | O_TRUNC;
    if (mode == OpenReadWrite) flags = O_RDWR;
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd_ < 0) IoError::ThrowErrno(mode == Create ? "create" : "open", path);
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

void TFileStream::Close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) IoError::ThrowErrno("close", path_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            IoError::ThrowErrno("read", path_);
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(fd_, p + done, static_cast<std::size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            IoError::ThrowErrno("write", path_);
        }
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    const off_t r = ::lseek(fd_, offset, whence);
    if (r < 0) IoError::ThrowErrno("seek in", path_);
    return r;
}

std::int64_t TFileStream::Size() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) IoError::ThrowErrno("stat", path_);
    return st.st_size;
}

void TFileStream::Sync() {
    if (::fsync(fd_) != 0) IoError::ThrowErrno("flush", path_);
}

} // namespace lorvane
