#pragma once
// The byte streams every loader and saver in the program goes through: a
// small interface (read, write, position, size) with an in-memory and a file
// implementation. Read and Write move at most `count` bytes and return how
// many moved, so a short read at the end is not an error; failures of the
// file system raise IoError.
#include <cstdint>
#include <cstdio>
#include <string>

namespace lorvane {

enum class SeekOrigin { Begin, Current, End };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;

    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(std::int64_t pos) { Seek(pos, SeekOrigin::Begin); }

    // Exactly `count` bytes or an Error("Stream read error").
    void ReadBuffer(void* buffer, std::int64_t count);
    // Exactly `count` bytes or an Error("Stream write error").
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies `count` bytes from source (all that remains when count is 0),
    // in chunks; returns the number copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream over an in-memory byte string, read and written at the position.
class TStringStream : public TStream {
public:
    TStringStream() = default;
    explicit TStringStream(std::string data) : data_(std::move(data)) {}

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    const std::string& DataString() const noexcept { return data_; }
    std::string TakeData() { pos_ = 0; return std::move(data_); }

private:
    std::string data_;
    std::int64_t pos_ = 0;
};

using TMemoryStream = TStringStream;

// A file opened for reading, or created (truncated) for writing. Writing
// over an existing document should go through AtomicFileWriter instead, so
// that a failure leaves the old file whole.
class TFileStream : public TStream {
public:
    enum Mode { OpenRead, Create, OpenReadWrite };
    TFileStream(const std::string& path, Mode mode);
    ~TFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;

    const std::string& path() const noexcept { return path_; }
    // Flushes to the disk (fsync); raises IoError on failure.
    void Sync();
    // Closes now and reports a failing close; the destructor ignores it.
    void Close();

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace lorvane
