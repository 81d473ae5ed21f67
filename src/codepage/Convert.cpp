#include "codepage/Convert.h"

#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr char kCtrlZ = '\x1A';

std::string JoinLines(const TLines& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + kCrLf.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += lines[i];
    }
    return text;
}

// Read-only on this platform is the missing owner write bit; clearing it is
// what "clear the file's attributes" amounts to. Failures are of no interest:
// the step that follows reports what matters.
void ClearReadOnly(const std::string& path) noexcept {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

// A descriptor that is closed at scope end unless Close() reported first.
class FileHandle {
public:
    explicit FileHandle(int fd) noexcept : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int get() const noexcept { return fd_; }
    // errno of a failing close, 0 on success.
    int Close() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Splits bytes into lines by the text-file rules, chunk by chunk, so a line
// break split across two reads is still one break.
class LineSplitter {
public:
    explicit LineSplitter(TLines& lines) : lines_(lines) {}

    // Feeds one chunk; returns false once Ctrl+Z has ended the text.
    bool Feed(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (c == kCtrlZ) {
                Finish();
                return false;
            }
            if (c == '\n' && afterCr_) {
                afterCr_ = false;
                continue;
            }
            afterCr_ = c == '\r';
            if (afterCr_) {
                lines_.push_back(std::move(current_));
                current_.clear();
            } else {
                current_ += c;
            }
        }
        return true;
    }

    // The text after the last line end is a line of its own when not empty.
    void Finish() {
        if (!current_.empty()) lines_.push_back(std::move(current_));
        current_.clear();
        afterCr_ = false;
    }

private:
    TLines& lines_;
    std::string current_;
    bool afterCr_ = false;
};

std::optional<std::string> AskFileName(const std::string& fileName, bool save) {
    FileDialogRequest request;
    request.fileName = fileName;
    const std::optional<FileDialogResult> result =
        save ? Dialogs::Current().SaveFile(request) : Dialogs::Current().OpenFile(request);
    if (!result || result->files.empty()) return std::nullopt;
    return result->files.front();
}

} // namespace

TConvert::TConvert(const TConvertEvent& onCreate) : onCreate_(onCreate) {
    if (onCreate_) onCreate_(*this);
}

void TConvert::SetDateFrom(const TLines& lines) {
    if (&lines != &dateFrom_) dateFrom_ = lines;
}

std::string TConvert::DateFromText() const {
    return JoinLines(dateFrom_);
}
std::string TConvert::DateToText() const {
    return JoinLines(dateTo_);
}

void TConvert::SetDateFromText(std::string_view text) {
    dateFrom_.clear();
    if (text.empty()) return;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(kCrLf, start);
        if (end == std::string_view::npos) {
            dateFrom_.emplace_back(text.substr(start));
            return;
        }
        dateFrom_.emplace_back(text.substr(start, end - start));
        start = end + kCrLf.size();
    }
}

void TConvert::ConvertPages(TConvType from, TConvType to) {
    if (onStartConvert_) onStartConvert_(*this);
    dateTo_.clear();
    if (dateFrom_.empty()) return;
    if (from == to) {
        dateTo_ = dateFrom_;
    } else {
        dateTo_.reserve(dateFrom_.size());
        for (const std::string& line : dateFrom_)
            dateTo_.push_back(RecodeString(from, to, line));
    }
    if (onDoneConvert_) onDoneConvert_(*this);
}

void TConvert::Convert() {
    ConvertPages(convertFrom_, convertTo_);
}

void TConvert::CopyToFrom() {
    dateFrom_ = dateTo_;
}

void TConvert::CopyFromTo() {
    dateTo_ = dateFrom_;
}

bool TConvert::LoadFile(const std::string& fileName, bool showDialog) {
    std::string name = fileName;
    if (showDialog) {
        std::optional<std::string> chosen = AskFileName(fileName, false);
        if (!chosen) return false;
        name = std::move(*chosen);
    }

    FileHandle file(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    fileError_ = file.get() < 0 ? errno : 0;
    if (fileError_ != 0) return false;

    dateFrom_.clear();
    LineSplitter splitter(dateFrom_);
    std::vector<char> chunk(1 << 16);
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fileError_ = errno;
            dateFrom_.clear();
            return false;
        }
        if (n == 0) {
            splitter.Finish();
            break;
        }
        if (!splitter.Feed(chunk.data(), static_cast<std::size_t>(n))) break;
    }

    fileError_ = file.Close();
    return fileError_ == 0;
}

bool TConvert::SaveFile(const std::string& fileName, bool showDialog, bool makeBackup) {
    std::string name = fileName;
    if (showDialog) {
        std::optional<std::string> chosen = AskFileName(fileName, true);
        if (!chosen) return false;
        name = std::move(*chosen);
    }

    // The new text is written and synced beside the file before the backup
    // is touched: a save that fails on a full disk must not cost the user
    // the previous backup as well. Only then does the old file become the
    // backup (replacing an older one) and the new text take its place.
    const std::string backup = name + ".bak";
    struct stat st {};
    if (makeBackup && ::lstat(name.c_str(), &st) != 0) {
        fileError_ = errno; // a backup needs a file to back up
        return false;
    }
    bool backedUp = false;
    try {
        ClearReadOnly(name);
        AtomicFileWriter out(name);
        for (const std::string& line : dateTo_) {
            out.WriteBuffer(line.data(), static_cast<std::int64_t>(line.size()));
            out.WriteBuffer(kCrLf.data(), static_cast<std::int64_t>(kCrLf.size()));
        }
        out.Sync();
        if (makeBackup) {
            // The rename replaces an older backup, read-only or not.
            fileError_ = ::rename(name.c_str(), backup.c_str()) == 0 ? 0 : errno;
            if (fileError_ != 0) return false;
            backedUp = true;
        }
        dateFrom_.clear();
        out.Commit();
    } catch (const IoError& e) {
        fileError_ = e.errorCode() != 0 ? e.errorCode() : EIO;
        // The old file was moved aside for the backup; put it back, so a
        // failed save leaves the file where the user keeps it.
        if (backedUp) ::rename(backup.c_str(), name.c_str());
        return false;
    } catch (const Error&) {
        fileError_ = EIO;
        if (backedUp) ::rename(backup.c_str(), name.c_str());
        return false;
    }
    fileError_ = 0;
    return true;
}

} // namespace lorvane
