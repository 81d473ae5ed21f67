#include "app/UstFile.h"

#include "app/OutputDecoding.h"
#include "platform/AtomicFile.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"

#include <algorithm>
#include <fstream>

namespace lorvane {
namespace {

bool BeyondAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Seven lines, each ended by CR LF, with no other line-end byte: the shape
// WriteUstFile gives a file.
bool WrittenByUs(std::string_view bytes) {
    std::size_t lines = 0;
    for (std::size_t at = bytes.find_first_of("\r\n"); at != std::string_view::npos;
         at = bytes.find_first_of("\r\n", at + 2)) {
        if (bytes[at] != '\r' || at + 1 >= bytes.size() || bytes[at + 1] != '\n') return false;
        ++lines;
    }
    return lines == std::tuple_size_v<UstLines> && bytes.size() >= 2 &&
           bytes.substr(bytes.size() - 2) == "\r\n";
}

// Characters as a text box counts them (UTF-16 units) in well-formed UTF-8.
std::size_t Utf16Length(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        n += (b & 0xC0) != 0x80 ? 1 : 0;
        n += b >= 0xF0 ? 1 : 0;
    }
    return n;
}

} // namespace

void WriteUstFile(const std::string& path, const UstLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        // A line break inside a value would shift every later line.
        if (line.find_first_of("\r\n") != std::string::npos)
            throw Error("Строку \"" + line + "\" нельзя записать в файл " + path +
                        ": в ней перевод строки");
        const std::string encoded = cp::EncodeFromUtf8(cp::CodePage::Win1251, line);
        // A character the file's code page lacks would come back as "?":
        // refuse rather than store a different path.
        if (cp::DecodeToUtf8(cp::CodePage::Win1251, encoded) != line)
            throw Error("Строку \"" + line + "\" нельзя записать в файл " + path +
                        ": символы вне кодировки Windows-1251");
        bytes += encoded;
        bytes += "\r\n";
    }
    WriteFileAtomically(path, bytes);
}

UstLines ReadUstFile(const std::string& path) {
    // Seven lines the settings file can hold whole fit in this, in either
    // encoding; what lies beyond is ignored, and a file of any size costs
    // no more to read.
    constexpr std::size_t kLine = ProfileFile::kMaxStringLength;
    std::string bytes(8 * (4 * kLine + 2), '\0');
    std::ifstream file(path, std::ios::binary);
    if (!file) IoError::ThrowErrno("read", path);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file.bad()) IoError::ThrowErrno("read", path);
    bytes.resize(static_cast<std::size_t>(file.gcount()));

    std::array<std::string_view, 7> raw;
    std::size_t count = 0;
    for (std::size_t at = 0; count < raw.size() && at < bytes.size(); ++count) {
        const std::size_t end = bytes.find_first_of("\r\n", at);
        const std::size_t stop = end == std::string::npos ? bytes.size() : end;
        raw[count] = std::string_view(bytes).substr(at, stop - at);
        at = stop;
        if (at < bytes.size() && bytes[at] == '\r') ++at;
        if (at < bytes.size() && bytes[at] == '\n') ++at;
    }
    // This program writes Windows-1251; a file made by hand on a UTF-8
    // desktop is taken as UTF-8 when all its letters beyond ASCII are
    // well-formed UTF-8, which Windows-1251 Cyrillic text seldom is. Seldom
    // is not never ("ВЁ" is the UTF-8 of "¨"), so a file shaped as this
    // program (and every earlier version) writes it, seven lines each ended
    // by CR LF and nothing else, is always read as Windows-1251.
    bool utf8 = !WrittenByUs(bytes), beyondAscii = false;
    for (std::size_t i = 0; i < count; ++i) {
        utf8 = utf8 && IsWellFormedUtf8(raw[i]);
        beyondAscii = beyondAscii || BeyondAscii(raw[i]);
    }
    utf8 = utf8 && beyondAscii;

    UstLines lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines[i] = utf8 ? std::string(raw[i]) : cp::DecodeToUtf8(cp::CodePage::Win1251, raw[i]);
        // The settings file would give back only the start of a longer one.
        if (Utf16Length(lines[i]) > kLine)
            throw Error("В файле " + path + " строка длиннее " + std::to_string(kLine) +
                        " символов: такие рабочие уставки не сохранить");
    }
    return lines;
}

} // namespace lorvane
