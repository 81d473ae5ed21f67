#include "app/DocumentRead.h"

#include "editor/model/ErrorTexts.h"
#include "platform/Error.h"
#include "platform/FileErrorText.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

struct TDescriptor {
    int fd;
    ~TDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

[[noreturn]] void TooLong() {
    throw Error(texts::kTextTooLong);
}

void RefuseNotRegular(const std::string& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        throw IoError(FileErrorText("open", path, NotRegularReason(st.st_mode)), path,
                      S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
}

} // namespace

TReadDocument ReadDocument(const std::string& path, const std::function<void()>& betweenChunks) {
    // Looked at first so that no device is even opened (opening some acts);
    // then again on the descriptor, which is what is read.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) RefuseNotRegular(path, st);
    const TDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) IoError::ThrowErrno("open", path);
    if (::fstat(file.fd, &st) != 0) IoError::ThrowErrno("stat", path);
    RefuseNotRegular(path, st);
    TReadDocument read;
    read.stamp = StampOf(st);
    if (read.stamp.size > texts::kMaxTextLength) TooLong();

    std::string& bytes = read.bytes;
    // One byte more than the size said: the end is seen without growing,
    // and a file that grew fills it.
    bytes.resize(static_cast<std::size_t>(read.stamp.size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // Growing, but never beyond what the model could take.
            const auto cap = static_cast<std::size_t>(texts::kMaxTextLength) + 1;
            if (got >= cap) TooLong();
            bytes.resize(std::min(cap, got + std::max<std::size_t>(65536, got / 2)));
        }
        const std::size_t want = std::min(bytes.size() - got, kChunk);
        const ssize_t n = ::read(file.fd, bytes.data() + got, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            IoError::ThrowErrno("read", path);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
        if (betweenChunks) betweenChunks();
    }
    bytes.resize(got);
    if (static_cast<std::int64_t>(got) > texts::kMaxTextLength) TooLong();
    // Lone breaks grow in the model: only a text near the limit is counted.
    if (static_cast<std::int64_t>(got) > texts::kMaxTextLength / 2 &&
        TextLengthOf(bytes) > texts::kMaxTextLength)
        TooLong();
    read.sizeAfter =
        ::fstat(file.fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : read.stamp.size;
    return read;
}

std::int64_t TextLengthOf(std::string_view bytes) noexcept {
    auto length = static_cast<std::int64_t>(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        const char partner = c == '\r' ? '\n' : '\r';
        if (i + 1 < bytes.size() && bytes[i + 1] == partner)
            ++i; // CR LF or LF CR: two bytes in the file as in the text
        else
            ++length;
    }
    return length;
}

std::string SizeChangeText(const std::string& path, const TReadDocument& read) {
    return "Файл " + path + " изменился, пока его читали: в начале в нём было " +
           std::to_string(read.stamp.size) + " байт, прочитано " +
           std::to_string(read.bytes.size()) + ", теперь " + std::to_string(read.sizeAfter) +
           ".\nВ окне то, что было прочитано; прежде чем сохранять, проверьте текст.";
}

} // namespace lorvane
