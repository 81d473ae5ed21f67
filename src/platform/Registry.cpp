#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/KeptFile.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lorvane {

namespace {

const char* RootName(RootKey root) {
    return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// Case folding for names: ASCII letters and the basic Cyrillic block
// (U+0400..U+042F to U+0450..U+044F), so "Цвет" and "цвет" are one name.
std::string Fold(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if ((c == 0xD0 || c == 0xD1) && i + 1 < out.size() &&
                   (static_cast<unsigned char>(out[i + 1]) & 0xC0) == 0x80) {
            const unsigned cp =
                ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(out[i + 1]) & 0x3Fu);
            unsigned lower = cp;
            if (cp >= 0x400 && cp <= 0x40F) lower = cp + 0x50;
            if (cp >= 0x410 && cp <= 0x42F) lower = cp + 0x20;
            out[i] = static_cast<char>(0xC0 | (lower >> 6));
            out[i + 1] = static_cast<char>(0x80 | (lower & 0x3F));
            ++i;
        }
    }
    return out;
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) path += '\\';
        path += parts[i];
    }
    return path;
}

// Map key of a path: folded, with the separator below every other
// character, so a key's subtree sorts right after the key itself.
std::string MapKey(std::string_view path) {
    std::string key = Fold(path);
    std::replace(key.begin(), key.end(), '\\', '\x01');
    return key;
}

bool ValidKeyName(std::string_view part) {
    return std::none_of(part.begin(), part.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void CheckValueName(std::string_view name) {
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        throw Error("Invalid registry value name \"" + std::string(name) + "\"");
}

struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::string data; // strings without their terminator, integers as 4 bytes LE
};

struct Key {
    std::string path; // below the root, as first written
    std::vector<Value> values;

    Value* Find(std::string_view name) {
        const std::string folded = Fold(name);
        for (auto& v : values)
            if (Fold(v.name) == folded) return &v;
        return nullptr;
    }
    const Value* Find(std::string_view name) const { return const_cast<Key*>(this)->Find(name); }
};

struct ParseError {};

// One root's keys, ordered as a tree.
class Hive {
public:
    Key* Find(std::string_view path) {
        const auto it = keys_.find(MapKey(path));
        return it == keys_.end() ? nullptr : &it->second;
    }
    const Key* Find(std::string_view path) const {
        const auto it = keys_.find(MapKey(path));
        return it == keys_.end() ? nullptr : &it->second;
    }

    // Creates the key and every missing key above it; existing keys keep
    // the spelling they have.
    Key& Create(std::string_view path) {
        const auto parts = SplitPath(path);
        std::string display;
        Key* key = &Root();
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string wanted = JoinPath(parts, i + 1);
            key = Find(wanted);
            if (!key) {
                Key fresh;
                fresh.path = display.empty() ? parts[i] : display + "\\" + parts[i];
                key = &keys_.emplace(MapKey(wanted), std::move(fresh)).first->second;
            }
            display = key->path;
        }
        return *key;
    }

    bool Delete(std::string_view path) {
        const std::string prefix = MapKey(path);
        if (prefix.empty()) return false;
        auto it = keys_.find(prefix);
        if (it == keys_.end()) return false;
        const std::string subtree = prefix + '\x01';
        auto end = std::next(it);
        while (end != keys_.end() && end->first.compare(0, subtree.size(), subtree) == 0)
            ++end;
        keys_.erase(it, end);
        return true;
    }

    std::vector<std::string> ChildNames(std::string_view path) const {
        const std::string prefix = MapKey(path);
        const std::string subtree = prefix.empty() ? std::string() : prefix + '\x01';
        std::vector<std::string> names;
        for (auto it = keys_.lower_bound(subtree); it != keys_.end(); ++it) {
            if (it->first.compare(0, subtree.size(), subtree) != 0) break;
            if (it->first.empty()) continue;
            if (it->first.find('\x01', subtree.size()) != std::string::npos) continue;
            const auto slash = it->second.path.find_last_of('\\');
            names.push_back(slash == std::string::npos ? it->second.path
                                                       : it->second.path.substr(slash + 1));
        }
        return names;
    }

    // Every line that can be read; `damaged` is set when any could not.
    static Hive Parse(std::string_view text, std::string_view rootName, bool& damaged);
    std::string Serialize(std::string_view rootName) const;

private:
    Key& Root() { return keys_[std::string()]; }

    std::map<std::string, Key> keys_;
};

// ---- reading the REGEDIT4 text ----

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && Fold(s.substr(0, prefix.size())) == Fold(prefix);
}

// A quoted string with \\ and \" escapes; `s` starts at the opening quote
// and is advanced past the closing one.
std::string ParseQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') throw ParseError{};
    std::string out;
    std::size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out += s[i];
    }
    if (i >= s.size()) throw ParseError{};
    s.remove_prefix(i + 1);
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string ParseHexBytes(std::string_view s) {
    std::string out;
    s = Trim(s);
    while (!s.empty()) {
        if (s.size() < 2 || HexDigit(s[0]) < 0 || HexDigit(s[1]) < 0) throw ParseError{};
        out += static_cast<char>(HexDigit(s[0]) * 16 + HexDigit(s[1]));
        s = Trim(s.substr(2));
        if (s.empty()) break;
        if (s.front() != ',') throw ParseError{};
        s = Trim(s.substr(1));
    }
    return out;
}

Value ParseValueData(std::string_view data) {
    Value v;
    if (!data.empty() && data.front() == '"') {
        v.type = 1;
        v.data = ParseQuoted(data);
        if (!Trim(data).empty()) throw ParseError{};
    } else if (StartsWithNoCase(data, "dword:")) {
        const std::string_view digits = Trim(data.substr(6));
        if (digits.empty() || digits.size() > 8) throw ParseError{};
        std::uint32_t n = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0) throw ParseError{};
            n = n * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        v.type = 4;
        for (int i = 0; i < 4; ++i)
            v.data += static_cast<char>((n >> (8 * i)) & 0xFF);
    } else if (StartsWithNoCase(data, "hex:")) {
        v.type = 3;
        v.data = ParseHexBytes(data.substr(4));
    } else if (StartsWithNoCase(data, "hex(")) {
        const auto close = data.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) throw ParseError{};
        std::uint32_t type = 0;
        for (char c : data.substr(4, close - 4)) {
            if (HexDigit(c) < 0) throw ParseError{};
            type = type * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        v.type = type;
        v.data = ParseHexBytes(data.substr(close + 2));
        // Strings written in hex form carry their terminator.
        if ((type == 1 || type == 2) && !v.data.empty() && v.data.back() == '\0') v.data.pop_back();
    } else {
        throw ParseError{};
    }
    return v;
}

Hive Hive::Parse(std::string_view text, std::string_view rootName, bool& damaged) {
    Hive hive;
    damaged = false;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    bool headerSeen = false;
    // Values under a key line that cannot be read have no key to go to.
    Key* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = Trim(lines[i]);
        if (line.empty() || line.front() == ';') continue;
        if (!headerSeen) {
            headerSeen = true;
            if (line == "REGEDIT4") continue;
            damaged = true;
        }
        try {
            if (line.front() == '[') {
                current = nullptr;
                if (line.back() != ']') throw ParseError{};
                const std::string_view path = line.substr(1, line.size() - 2);
                if (!StartsWithNoCase(path, rootName)) throw ParseError{};
                std::string_view below = path.substr(rootName.size());
                if (!below.empty() && below.front() != '\\') throw ParseError{};
                if (!below.empty()) below.remove_prefix(1);
                const auto parts = SplitPath(below);
                if (!std::all_of(parts.begin(), parts.end(), ValidKeyName) ||
                    JoinPath(parts, parts.size()).size() != below.size())
                    throw ParseError{};
                current = &hive.Create(below);
                continue;
            }
            if (!current) throw ParseError{};
            std::string name;
            if (line.front() == '@') {
                line.remove_prefix(1);
            } else {
                name = ParseQuoted(line);
            }
            line = Trim(line);
            if (line.empty() || line.front() != '=') throw ParseError{};
            std::string data(Trim(line.substr(1)));
            // Long hex data continues on the next lines after a trailing "\".
            while (!data.empty() && data.back() == '\\' && StartsWithNoCase(data, "hex")) {
                data.pop_back();
                if (++i >= lines.size()) throw ParseError{};
                data += Trim(lines[i]);
            }
            Value value = ParseValueData(data);
            value.name = std::move(name);
            if (Value* existing = current->Find(value.name))
                *existing = std::move(value);
            else
                current->values.push_back(std::move(value));
        } catch (const ParseError&) {
            damaged = true;
        }
    }
    return hive;
}

// ---- writing it ----

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string HexData(std::string_view prefix, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(prefix);
    std::size_t lineLength = out.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += kHex[b >> 4];
        out += kHex[b & 15];
        lineLength += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++lineLength;
            if (lineLength > 75) {
                out += "\\\n  ";
                lineLength = 2;
            }
        }
    }
    return out;
}

std::string SerializeValue(const Value& v) {
    std::string line = v.name.empty() ? "@=" : Quote(v.name) + "=";
    if (v.type == 1 && v.data.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos)
        return line + Quote(v.data);
    if (v.type == 4 && v.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = n * 256 + static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        return line + buf;
    }
    if (v.type == 3) return HexData(line + "hex:", v.data);
    std::string data = v.data;
    if (v.type == 1 || v.type == 2) data += '\0';
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", v.type);
    return HexData(line + prefix, data);
}

std::string Hive::Serialize(std::string_view rootName) const {
    std::string out = "REGEDIT4\n";
    for (const auto& [mapKey, key] : keys_) {
        if (mapKey.empty() && key.values.empty()) continue;
        out += "\n[";
        out += rootName;
        if (!key.path.empty()) out += "\\" + key.path;
        out += "]\n";
        for (const auto& v : key.values)
            out += SerializeValue(v) + "\n";
    }
    return out;
}

// ---- the file ----

// An exclusive flock on "<file>.lock", held for one read-modify-write.
// The lock lives on its own file because the data file is replaced by a
// rename at every change, and a lock on the old inode would not exclude a
// process that opened the new one.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        // flock works on a descriptor opened for reading too (a lock file
        // left by another user).
        if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        // Without a lock file (a read-only directory) the write that
        // follows fails anyway, with the data file's name in the error.
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

std::mutex& NoticeMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<RegistrySetAside>& Notices() {
    static std::vector<RegistrySetAside> notices;
    return notices;
}

// Moves a damaged file aside under a name not yet taken; empty when it
// cannot be moved (a read-only directory).
std::string SetAside(const std::string& path) {
    std::string aside = path + ".corrupt";
    struct stat st {};
    for (int n = 1; ::lstat(aside.c_str(), &st) == 0 && n < 1000; ++n)
        aside = path + ".corrupt." + std::to_string(n);
    return ::rename(path.c_str(), aside.c_str()) == 0 ? aside : std::string();
}

using HivePtr = std::shared_ptr<const Hive>;

KeptFiles<Hive>& Cache() {
    static KeptFiles<Hive> cache;
    return cache;
}

const HivePtr& EmptyHive() {
    static const HivePtr empty = std::make_shared<const Hive>();
    return empty;
}

// Loads a root. A file with lines that cannot be read keeps every key and
// value that can: the original is moved aside, the readable part written
// in its place, and the move reported (under the lock, after a second
// look, since a writer may just have replaced the file). With `forWrite`,
// a file that exists but cannot be read raises IoError rather than being
// silently replaced by an empty store.
HivePtr Load(const std::string& path, std::string_view rootName, bool forWrite, bool locked) {
    if (const auto now = FileStamp::Of(path))
        if (HivePtr kept = Cache().Find(path, *now)) return kept;
    const timespec readAt = FileClockNow();
    std::string text;
    FileStamp stamp;
    if (!ReadStamped(path, text, stamp)) {
        if (errno != ENOENT && forWrite) IoError::ThrowErrno("read", path);
        Cache().Forget(path);
        return EmptyHive();
    }
    bool damaged = false;
    auto hive = std::make_shared<Hive>(Hive::Parse(text, rootName, damaged));
    if (damaged && !locked) {
        FileLock lock(path + ".lock");
        return Load(path, rootName, forWrite, true);
    }
    if (damaged) {
        const std::string aside = SetAside(path);
        // The readable part goes back under the file's name; when that
        // cannot be written, the part still serves every read.
        if (!aside.empty()) {
            try {
                WriteFileAtomically(path, hive->Serialize(rootName));
            } catch (const std::exception&) {
                // The original goes back rather than leave no file at all.
                ::rename(aside.c_str(), path.c_str());
                return hive;
            }
            const auto written = FileStamp::Of(path);
            if (!written) return hive;
            stamp = *written;
            std::lock_guard<std::mutex> guard(NoticeMutex());
            Notices().push_back(RegistrySetAside{path, aside});
        } else {
            return hive;
        }
    }
    Cache().Store(path, stamp, readAt, hive);
    return hive;
}

// Runs one change under the lock and writes the result when it changed.
bool Modify(RootKey root, const std::string& path, const std::function<bool(Hive&)>& change) {
    FileLock lock(path + ".lock");
    const HivePtr current = Load(path, RootName(root), true, true);
    auto hive = std::make_shared<Hive>(*current);
    const bool changed = change(*hive);
    if (!changed) return false;
    const auto previous = FileStamp::Of(path);
    const timespec writtenAt = FileClockNow();
    WriteFileAtomically(path, hive->Serialize(RootName(root)));
    if (const auto marked = MarkNewVersion(path, previous ? previous->modified : timespec{}))
        Cache().StoreWritten(path, *marked, std::move(hive));
    else if (const auto written = FileStamp::Of(path))
        Cache().Store(path, *written, writtenAt, std::move(hive));
    else
        Cache().Forget(path);
    return true;
}

} // namespace

// ---- TRegistry ----

std::vector<RegistrySetAside> TakeRegistrySetAsides() {
    std::lock_guard<std::mutex> guard(NoticeMutex());
    return std::exchange(Notices(), {});
}

std::string TRegistry::FileName() const {
    return paths::Join(paths::ConfigDirectory(), std::string(RootName(root_)) + ".reg");
}

void TRegistry::SetRootKey(RootKey root) noexcept {
    CloseKey();
    root_ = root;
}

std::string TRegistry::Resolve(std::string_view key) const {
    const bool absolute = !key.empty() && key.front() == '\\';
    std::vector<std::string> parts =
        absolute || !open_ ? std::vector<std::string>() : SplitPath(currentPath_);
    for (auto& part : SplitPath(key)) {
        if (!ValidKeyName(part)) throw Error("Invalid registry key name \"" + part + "\"");
        parts.push_back(std::move(part));
    }
    return JoinPath(parts, parts.size());
}

void TRegistry::RequireOpenKey() const {
    if (!open_) throw Error("No registry key is open");
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
    const std::string path = Resolve(key);
    const std::string file = FileName();
    std::string display;
    if (!path.empty()) {
        const HivePtr hive = Load(file, RootName(root_), false, false);
        if (const Key* found = hive->Find(path)) {
            display = found->path;
        } else {
            if (!canCreate) return false;
            Modify(root_, file, [&](Hive& current) {
                const bool existed = current.Find(path) != nullptr;
                display = current.Create(path).path;
                return !existed;
            });
        }
    }
    open_ = true;
    currentPath_ = display;
    return true;
}

void TRegistry::CloseKey() noexcept {
    open_ = false;
    currentPath_.clear();
}

bool TRegistry::KeyExists(std::string_view key) const {
    const std::string path = Resolve(key);
    return path.empty() || Load(FileName(), RootName(root_), false, false)->Find(path) != nullptr;
}

bool TRegistry::DeleteKey(std::string_view key) {
    const std::string path = Resolve(key);
    if (path.empty()) return false;
    return Modify(root_, FileName(), [&](Hive& hive) { return hive.Delete(path); });
}

std::vector<std::string> TRegistry::GetKeyNames() const {
    if (!open_) return {};
    return Load(FileName(), RootName(root_), false, false)->ChildNames(currentPath_);
}

bool TRegistry::HasSubKeys() const {
    return !GetKeyNames().empty();
}

namespace {

// A copy of one value of the open key, or nothing.
struct Lookup {
    bool found = false;
    Value value;
};

Lookup FindValue(RootKey root, const std::string& file, bool open, const std::string& keyPath,
                 std::string_view name) {
    Lookup result;
    if (!open) return result;
    const HivePtr hive = Load(file, RootName(root), false, false);
    if (const Key* key = hive->Find(keyPath))
        if (const Value* v = key->Find(name)) {
            result.found = true;
            result.value = *v;
        }
    return result;
}

std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

} // namespace

bool TRegistry::ValueExists(std::string_view name) const {
    return FindValue(root_, FileName(), open_, currentPath_, name).found;
}

RegDataType TRegistry::GetDataType(std::string_view name) const {
    const Lookup l = FindValue(root_, FileName(), open_, currentPath_, name);
    if (!l.found) return RegDataType::None;
    if (l.value.type >= 1 && l.value.type <= 4) return static_cast<RegDataType>(l.value.type);
    return RegDataType::Unknown;
}

std::vector<std::string> TRegistry::GetValueNames() const {
    if (!open_) return {};
    const HivePtr hive = Load(FileName(), RootName(root_), false, false);
    std::vector<std::string> names;
    if (const Key* key = hive->Find(currentPath_))
        for (const auto& v : key->values)
            names.push_back(v.name);
    return names;
}

bool TRegistry::DeleteValue(std::string_view name) {
    if (!open_) return false;
    return Modify(root_, FileName(), [&](Hive& hive) {
        Key* key = hive.Find(currentPath_);
        if (!key) return false;
        const std::string folded = Fold(name);
        const auto it = std::find_if(key->values.begin(), key->values.end(),
                                     [&](const Value& v) { return Fold(v.name) == folded; });
        if (it == key->values.end()) return false;
        key->values.erase(it);
        return true;
    });
}

std::string TRegistry::ReadString(std::string_view name) const {
    const Lookup l = FindValue(root_, FileName(), open_, currentPath_, name);
    if (!l.found) return {};
    if (l.value.type != 1 && l.value.type != 2)
        throw Error("Registry value " + Quoted(name) + " is not a string");
    return l.value.data;
}

std::int32_t TRegistry::ReadInteger(std::string_view name) const {
    const Lookup l = FindValue(root_, FileName(), open_, currentPath_, name);
    if (!l.found) throw Error("Registry value " + Quoted(name) + " does not exist");
    if (l.value.type != 4 || l.value.data.size() != 4)
        throw Error("Registry value " + Quoted(name) + " is not a 32-bit integer");
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n * 256 + static_cast<unsigned char>(l.value.data[static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(n);
}

std::size_t TRegistry::ReadBinaryData(std::string_view name, void* buffer,
                                      std::size_t bufferSize) const {
    const std::vector<std::uint8_t> data = ReadBinaryData(name);
    if (data.size() > bufferSize)
        throw Error("Registry value " + Quoted(name) + " is longer than " +
                    std::to_string(bufferSize) + " bytes");
    if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
    return data.size();
}

std::vector<std::uint8_t> TRegistry::ReadBinaryData(std::string_view name) const {
    const Lookup l = FindValue(root_, FileName(), open_, currentPath_, name);
    if (!l.found) throw Error("Registry value " + Quoted(name) + " does not exist");
    if (l.value.type == 1 || l.value.type == 2 || l.value.type == 4)
        throw Error("Registry value " + Quoted(name) + " is not binary data");
    return std::vector<std::uint8_t>(l.value.data.begin(), l.value.data.end());
}

namespace {

void Store(RootKey root, const std::string& file, const std::string& keyPath, std::string_view name,
           std::uint32_t type, std::string data) {
    CheckValueName(name);
    Modify(root, file, [&](Hive& hive) {
        // The key may have been deleted by someone else since it was
        // opened; writing brings it back rather than losing the value.
        Key& key = hive.Create(keyPath);
        if (Value* v = key.Find(name)) {
            if (v->type == type && v->data == data) return false;
            v->type = type;
            v->data = std::move(data);
        } else {
            key.values.push_back(Value{std::string(name), type, std::move(data)});
        }
        return true;
    });
}

} // namespace

void TRegistry::WriteString(std::string_view name, std::string_view value) {
    RequireOpenKey();
    Store(root_, FileName(), currentPath_, name, 1, std::string(value));
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value) {
    RequireOpenKey();
    const auto n = static_cast<std::uint32_t>(value);
    std::string data;
    for (int i = 0; i < 4; ++i)
        data += static_cast<char>((n >> (8 * i)) & 0xFF);
    Store(root_, FileName(), currentPath_, name, 4, std::move(data));
}

void TRegistry::WriteBinaryData(std::string_view name, const void* data, std::size_t size) {
    RequireOpenKey();
    Store(root_, FileName(), currentPath_, name, 3,
          size ? std::string(static_cast<const char*>(data), size) : std::string());
}

} // namespace lorvane
