// A settings (.ini) file of arbitrary bytes, then one value written: a value
// the file holds as it is (no surrounding blanks or quotes, Windows-1251,
// short enough) reads back as written, and every key of the file reads as
// before unless it is the one written. A refused write changes no byte.
#include "FuzzConfigDir.h"
#include "platform/AtomicFile.h"
#include "platform/CodePageTables.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace lorvane;

namespace {

using cp::CodePage;

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string Trimmed(std::string s) {
    while (!s.empty() && Blank(s.back()))
        s.pop_back();
    std::size_t a = 0;
    while (a < s.size() && Blank(s[a]))
        ++a;
    return s.substr(a);
}

std::string Utf8(const std::string& bytes) {
    return cp::DecodeToUtf8(CodePage::Win1251, bytes);
}

bool In1251(const std::string& utf8) {
    return Utf8(cp::EncodeFromUtf8(CodePage::Win1251, utf8)) == utf8;
}

// Section and key names as a person reads the file: "[name]" lines and the
// text before "=" (in Windows-1251).
std::vector<std::pair<std::string, std::string>> Keys(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::istringstream lines(text);
    std::string line, section;
    while (std::getline(lines, line)) {
        const std::string t = Trimmed(line);
        if (!t.empty() && t.front() == '[' && t.find(']') != std::string::npos) {
            section = Trimmed(t.substr(1, t.find_last_of(']') - 1));
        } else if (const auto eq = line.find('='); eq != std::string::npos) {
            const std::string key = Trimmed(line.substr(0, eq));
            if (!key.empty() && key.front() != ';' && !section.empty())
                keys.emplace_back(Utf8(section), Utf8(key));
        }
    }
    return keys;
}

std::string Bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ConfigDir();
    fuzz::EmptyConfigDir();
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(20);
    const std::string key = in.ConsumeRandomLengthString(20);
    const std::string value = in.ConsumeRandomLengthString(1100);
    const std::string text = in.ConsumeRemainingBytesAsString();
    ProfileFile file("fuzz.INI");
    WriteFileAtomically(file.FileName(), text);

    const auto keys = Keys(text);
    std::vector<std::string> before;
    for (const auto& [s, k] : keys)
        before.push_back(file.ReadString(s, k, "\x01missing"));
    try {
        file.WriteString(section, key, value);
    } catch (const Error&) {
        if (Bytes(file.FileName()) != text) std::abort();
        return 0;
    }
    const bool plain =
        !value.empty() && !Blank(value.front()) && !Blank(value.back()) &&
        !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) &&
        In1251(value) &&
        cp::EncodeFromUtf8(CodePage::Win1251, value).size() <= ProfileFile::kMaxStringLength;
    if (plain && file.ReadString(section, key, "\x01missing") != value) std::abort();
    const std::string s1251 = cp::EncodeFromUtf8(CodePage::Win1251, Trimmed(section));
    const std::string k1251 = cp::EncodeFromUtf8(CodePage::Win1251, Trimmed(key));
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto& [s, k] = keys[i];
        const bool same =
            cp::EqualIgnoringCase1251(cp::EncodeFromUtf8(CodePage::Win1251, s), s1251) &&
            cp::EqualIgnoringCase1251(cp::EncodeFromUtf8(CodePage::Win1251, k), k1251);
        if (!same && file.ReadString(s, k, "\x01missing") != before[i]) std::abort();
    }
    return 0;
}
