#include "app/FileMemory.h"

#include "platform/Registry.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace lorvane {
namespace {

constexpr std::string_view kKey = "\\OpenFileLorvane\\Files";
constexpr std::string_view kValue = "List";

// One name for one file, however it was reached ("a/../b.txt", relative).
std::string Whole(const std::string& path) {
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(path, error);
    return error ? path : whole.lexically_normal().string();
}

// Entries are "<mode><caret> <path>" separated by tabs; the path keeps
// only printable ASCII as it is, so the registry's UTF-8 file can hold any
// name the system allows.
std::string Escaped(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b >= 0x7F || b == '%') {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
                text.data() + i + 3) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct Entry {
    std::string path;
    TRememberedFile state;
};

std::vector<Entry> Parse(std::string_view list) {
    std::vector<Entry> entries;
    while (!list.empty()) {
        const std::size_t end = std::min(list.find('\t'), list.size());
        const std::string_view item = list.substr(0, end);
        list.remove_prefix(std::min(end + 1, list.size()));
        const std::size_t blank = item.find(' ');
        if (item.size() < 3 || blank == std::string_view::npos) continue;
        Entry entry;
        entry.state.mode = item[0];
        const auto [ptr, ec] =
            std::from_chars(item.data() + 1, item.data() + blank, entry.state.caret);
        if (ec != std::errc() || ptr != item.data() + blank || entry.state.caret < 0) continue;
        entry.path = Unescaped(item.substr(blank + 1));
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string ReadList() {
    TRegistry registry(RootKey::CurrentUser);
    if (!registry.OpenKey(kKey, false)) return {};
    return registry.ReadString(kValue);
}

} // namespace

std::optional<TRememberedFile> RecallFile(const std::string& path) {
    try {
        const std::string whole = Whole(path);
        for (const Entry& entry : Parse(ReadList()))
            if (entry.path == whole) return entry.state;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

void RememberFile(const std::string& path, const TRememberedFile& state, std::size_t capacity) {
    try {
        const std::string whole = Whole(path);
        std::vector<Entry> entries = Parse(ReadList());
        std::string list = state.mode + std::to_string(state.caret) + ' ' + Escaped(whole);
        std::size_t kept = 1;
        for (const Entry& entry : entries) {
            if (entry.path == whole) continue;
            if (kept++ == capacity) break;
            list += '\t' + (entry.state.mode + std::to_string(entry.state.caret)) + ' ' +
                    Escaped(entry.path);
        }
        TRegistry registry(RootKey::CurrentUser);
        registry.OpenKey(kKey, true);
        registry.WriteString(kValue, list);
    } catch (const std::exception&) {
    }
}

} // namespace lorvane
