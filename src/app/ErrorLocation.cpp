#include "app/ErrorLocation.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace lorvane {
namespace {

namespace fs = std::filesystem;

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// Digits at `at` as a number (at most nine of them, so no overflow);
// `at` moves past them. Nullopt when there is no digit.
std::optional<std::int32_t> Number(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    std::int32_t value = 0;
    while (at < text.size() && IsDigit(text[at]) && at - start < 9)
        value = value * 10 + (text[at++] - '0');
    if (at == start || (at < text.size() && IsDigit(text[at]))) return std::nullopt;
    return value;
}

// "(LINE)" or "(LINE,COL)" at `open`, followed by the end, a blank or ':'.
std::optional<ErrorLocation> ParenForm(std::string_view text, std::size_t open) {
    std::size_t at = open + 1;
    ErrorLocation place;
    const auto line = Number(text, at);
    if (!line) return std::nullopt;
    place.line = *line;
    if (at < text.size() && text[at] == ',') {
        ++at;
        const auto column = Number(text, at);
        if (!column) return std::nullopt;
        place.column = *column;
    }
    if (at >= text.size() || text[at] != ')') return std::nullopt;
    ++at;
    if (at < text.size() && text[at] != ' ' && text[at] != '\t' && text[at] != ':')
        return std::nullopt;
    return place;
}

// ":LINE:", ":LINE:COL:" or ":LINE.COL:" at `colon`.
std::optional<ErrorLocation> ColonForm(std::string_view text, std::size_t colon) {
    std::size_t at = colon + 1;
    ErrorLocation place;
    const auto line = Number(text, at);
    if (!line || at >= text.size()) return std::nullopt;
    place.line = *line;
    if (text[at] == '.') {
        // The 8086 C compiler's "bad.c:1.24: error: ...".
        ++at;
        const auto column = Number(text, at);
        if (!column || at >= text.size() || text[at] != ':') return std::nullopt;
        place.column = *column;
        return place;
    }
    if (text[at] != ':') return std::nullopt;
    std::size_t next = at + 1;
    if (const auto column = Number(text, next); column && next < text.size() && text[next] == ':')
        place.column = *column;
    return place;
}

// The first position from which `form` recognises a place, with the file
// before it.
template <typename Form>
std::optional<std::pair<std::size_t, ErrorLocation>> First(std::string_view text, char mark,
                                                           Form form) {
    for (std::size_t at = text.find(mark, 1); at != std::string_view::npos;
         at = text.find(mark, at + 1)) {
        if (text[at - 1] == ' ' || text[at - 1] == '\t') continue;
        if (auto place = form(text, at)) {
            place->file = std::string(text.substr(0, at));
            return std::pair{at, *place};
        }
    }
    return std::nullopt;
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// `part` inside `directory`: as written, else the one entry that matches
// it without regard to case.
std::optional<fs::path> Entry(const fs::path& directory, const std::string& part) {
    std::error_code error;
    fs::path exact = directory / part;
    if (fs::exists(exact, error)) return exact;
    const std::string wanted = UpperAscii(part);
    std::optional<fs::path> found;
    for (fs::directory_iterator it(directory.empty() ? fs::path(".") : directory, error), end;
         !error && it != end; it.increment(error)) {
        if (UpperAscii(it->path().filename().string()) != wanted) continue;
        if (found) return std::nullopt; // two files differ only in case
        found = directory / it->path().filename();
    }
    return found;
}

std::string Walk(const fs::path& start, const std::vector<std::string>& parts) {
    fs::path at = start;
    for (const std::string& part : parts) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            at /= part;
            continue;
        }
        const auto next = Entry(at, part);
        if (!next) return {};
        at = *next;
    }
    std::error_code error;
    return fs::is_regular_file(at, error) ? at.lexically_normal().string() : std::string{};
}

std::vector<std::string> Split(std::string_view name, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = name.find(separator, start)) != std::string_view::npos;
         start = at + 1)
        parts.emplace_back(name.substr(start, at - start));
    parts.emplace_back(name.substr(start));
    return parts;
}

} // namespace

std::optional<ErrorLocation> ParseErrorLocation(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    // "**Error** ", "**Warning** ", "**Fatal** " stand before the file.
    if (text.starts_with("**")) {
        if (const auto close = text.find("**", 2); close != std::string_view::npos) {
            text.remove_prefix(close + 2);
            while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                text.remove_prefix(1);
        }
    }
    auto paren = First(text, '(', ParenForm);
    auto colon = First(text, ':', ColonForm);
    auto& best = paren && (!colon || paren->first < colon->first) ? paren : colon;
    if (!best || best->second.line < 1) return std::nullopt;
    if (std::any_of(best->second.file.begin(), best->second.file.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return std::nullopt;
    return best->second;
}

std::string FindMessageFile(std::string_view name, const std::string& baseDirectory) {
    if (name.empty()) return {};
    const fs::path base(baseDirectory.empty() ? "." : baseDirectory);
    const bool dos = name.find('\\') != std::string_view::npos && name.find('/') == name.npos;
    if (!dos) {
        const bool absolute = name.front() == '/';
        return Walk(absolute ? fs::path("/") : base, Split(absolute ? name.substr(1) : name, '/'));
    }
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        name.remove_prefix(2);
    const std::vector<std::string> parts = Split(name, '\\');
    if (std::string found = Walk(base, parts); !found.empty()) return found;
    return Walk(base, {parts.back()});
}

} // namespace lorvane
