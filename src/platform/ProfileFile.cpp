#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/KeptFile.h"
#include "platform/Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace lorvane {

namespace {

using cp::CodePage;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return cp::EqualIgnoringCase1251(a, b);
}

// One line of the file: where its text lies, and its line end (empty for
// a last line without one).
struct Line {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t endLength = 0;
};

enum class Kind { Blank, Comment, Section, Key };

struct Parsed {
    Kind kind = Kind::Blank;
    std::string_view name;                 // section or key name, trimmed
    std::optional<std::string_view> value; // trimmed; nothing without "="
    std::size_t valueOffset = 0;           // where the value starts in the line
};

Parsed ParseLine(std::string_view text) {
    Parsed p;
    const std::string_view t = Trim(text);
    if (t.empty()) return p;
    if (t.front() == ';') {
        p.kind = Kind::Comment;
        return p;
    }
    if (t.front() == '[') {
        const auto close = t.find_last_of(']');
        if (close != std::string_view::npos) {
            p.kind = Kind::Section;
            p.name = Trim(t.substr(1, close - 1));
            return p;
        }
    }
    p.kind = Kind::Key;
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        p.name = t;
        p.valueOffset = text.size();
        return p;
    }
    p.name = Trim(text.substr(0, eq));
    std::size_t v = eq + 1;
    while (v < text.size() && IsBlank(text[v]) && text[v] != '\r')
        ++v;
    p.valueOffset = v;
    p.value = Trim(text.substr(eq + 1));
    return p;
}

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto nl = text.find('\n', start);
        Line line;
        line.start = start;
        if (nl == std::string_view::npos) {
            line.length = text.size() - start;
        } else {
            line.length = nl - start;
            line.endLength = 1;
            if (line.length > 0 && text[nl - 1] == '\r') {
                --line.length;
                line.endLength = 2;
            }
        }
        lines.push_back(line);
        start += line.length + line.endLength;
    }
    return lines;
}

// Where a key was found: the line of the first matching section's header
// (npos when there is none), the line of the first matching key in it
// (npos when there is none), and the last non-blank line of that section.
struct Location {
    std::size_t section = std::string::npos;
    std::size_t key = std::string::npos;
    std::size_t lastContent = std::string::npos;
    Parsed parsedKey;
};

Location Locate(std::string_view text, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
    Location loc;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed p = ParseLine(text.substr(lines[i].start, lines[i].length));
        if (loc.section == std::string::npos) {
            if (p.kind == Kind::Section && EqualNoCase(p.name, section)) {
                loc.section = i;
                loc.lastContent = i;
            }
            continue;
        }
        if (p.kind == Kind::Section) break;
        if (p.kind != Kind::Blank) loc.lastContent = i;
        if (p.kind == Kind::Key && loc.key == std::string::npos && EqualNoCase(p.name, key)) {
            loc.key = i;
            loc.parsedKey = p;
        }
    }
    return loc;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// UTF-8 text cut to at most `count` characters, trailing blanks removed
// first: what the caller's default would look like had it come from a file.
std::string CutDefault(std::string_view s, std::size_t count) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    std::size_t chars = 0, i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == count) break;
    }
    return std::string(s.substr(0, i));
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// A settings file as read, split into lines.
struct ProfileText {
    std::string text;
    std::vector<Line> lines;
};

KeptFiles<ProfileText>& Kept() {
    static KeptFiles<ProfileText> kept;
    return kept;
}

// The file as it is now, or null when it cannot be read (missing
// included; errno tells which).
std::shared_ptr<const ProfileText> Load(const std::string& path) {
    if (const auto now = FileStamp::Of(path))
        if (auto kept = Kept().Find(path, *now)) return kept;
    const timespec readAt = FileClockNow();
    auto loaded = std::make_shared<ProfileText>();
    FileStamp stamp;
    if (!ReadStamped(path, loaded->text, stamp)) {
        const int err = errno;
        Kept().Forget(path);
        errno = err;
        return nullptr;
    }
    loaded->lines = SplitLines(loaded->text);
    Kept().Store(path, stamp, readAt, loaded);
    return loaded;
}

} // namespace

ProfileFile::ProfileFile(std::string_view fileName) : path_(paths::ResolveBareName(fileName)) {}

std::optional<std::int32_t> ProfileFile::ParseInteger(std::string_view text) {
    auto hex = [](std::string_view digits) -> std::optional<std::int32_t> {
        if (digits.empty()) return std::nullopt;
        std::uint64_t n = 0;
        for (char c : digits) {
            int d = -1;
            if (c >= '0' && c <= '9') d = c - '0';
            if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            if (d < 0) return std::nullopt;
            n = n * 16 + static_cast<std::uint64_t>(d);
            if (n > 0xFFFFFFFFu) return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
    };
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return hex(text.substr(2));
    if (!text.empty() && text[0] == '$') return hex(text.substr(1));
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > 0x80000000LL) return std::nullopt;
    }
    if (negative) n = -n;
    if (n > 0x7FFFFFFF) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    const std::string sec = cp::EncodeFromUtf8(CodePage::Win1251, Trim(section));
    const std::string k = cp::EncodeFromUtf8(CodePage::Win1251, Trim(key));
    const auto file = k.empty() ? nullptr : Load(path_);
    if (!file) return CutDefault(defaultValue, kMaxStringLength);
    const Location loc = Locate(file->text, file->lines, sec, k);
    if (loc.key == std::string::npos || !loc.parsedKey.value)
        return CutDefault(defaultValue, kMaxStringLength);
    std::string_view value = Unquote(*loc.parsedKey.value);
    if (value.size() > kMaxStringLength) value = value.substr(0, kMaxStringLength);
    return cp::DecodeToUtf8(CodePage::Win1251, value);
}

std::int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                      std::int32_t defaultValue) const {
    // A text that cannot be the default is needed to tell "missing" apart.
    const std::string text = ReadString(section, key, "");
    return ParseInteger(text).value_or(defaultValue);
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    // A line break would let a value (typed by the user) write other
    // sections and keys into the file; such input is refused, not mangled.
    if (section.empty() || HasLineBreak(section) || section.find(']') != std::string_view::npos)
        throw Error("Invalid section name \"" + std::string(section) + "\" for \"" + path_ + "\"");
    if (key.empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';')
        throw Error("Invalid key name \"" + std::string(key) + "\" for \"" + path_ + "\"");
    if (HasLineBreak(value))
        throw Error("The value of \"" + std::string(key) + "\" for \"" + path_ +
                    "\" must not contain a line break");
    const std::string sec = cp::EncodeFromUtf8(CodePage::Win1251, section);
    const std::string k = cp::EncodeFromUtf8(CodePage::Win1251, key);
    const std::string v = cp::EncodeFromUtf8(CodePage::Win1251, value);

    // An existing file that cannot be read must not be replaced by one
    // holding only the new key.
    const auto file = Load(path_);
    if (!file && errno != ENOENT) IoError::ThrowErrno("read", path_);
    const std::string text = file ? file->text : std::string();
    const std::vector<Line> lines = file ? file->lines : std::vector<Line>();
    const auto firstNl = text.find('\n');
    const std::string nl =
        firstNl == std::string::npos || (firstNl > 0 && text[firstNl - 1] == '\r') ? "\r\n" : "\n";
    const Location loc = Locate(text, lines, sec, k);

    std::string out;
    if (loc.key != std::string::npos) {
        const Line& line = lines[loc.key];
        std::string_view lineText(text.data() + line.start, line.length);
        out = text.substr(0, line.start);
        if (loc.parsedKey.value) {
            out += lineText.substr(0, loc.parsedKey.valueOffset);
        } else {
            out += Trim(lineText);
            out += '=';
        }
        out += v;
        out += text.substr(line.start + line.length);
    } else if (loc.section != std::string::npos) {
        const Line& after = lines[loc.lastContent];
        const std::size_t insertAt = after.start + after.length + after.endLength;
        out = text.substr(0, insertAt);
        if (after.endLength == 0) out += nl;
        out += k + "=" + v + nl;
        out += text.substr(insertAt);
    } else {
        out = text;
        if (!out.empty() && out.back() != '\n') out += nl;
        // A blank line sets the new section apart, unless one is there.
        if (!lines.empty() &&
            !Trim(std::string_view(text).substr(lines.back().start, lines.back().length)).empty())
            out += nl;
        out += "[" + sec + "]" + nl + k + "=" + v + nl;
    }
    WriteFileAtomically(path_, out);
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

} // namespace lorvane
