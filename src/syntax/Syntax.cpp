#include "syntax/Syntax.h"

#include "platform/CodePageTables.h"
#include "platform/Error.h"

#include <algorithm>

namespace lorvane {
namespace {

constexpr std::array<std::string_view, kTokenRoleCount> kRoleNames = {
    "comment", "string", "keyword", "type", "register", "directive", "preprocessor"};

bool Blank(char c) noexcept {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) noexcept {
    while (!s.empty() && (Blank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (Blank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Tokens(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && Blank(s[i]))
            ++i;
        const std::size_t begin = i;
        while (i < s.size() && !Blank(s[i]))
            ++i;
        if (i > begin) out.push_back(s.substr(begin, i - begin));
    }
    return out;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Well-formed UTF-8 with at least one byte from 128 up: a file written in
// UTF-8, whose letters the documents (in Windows-1251) hold differently.
bool LooksUtf8(std::string_view s) noexcept {
    bool wide = false;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int more = (c & 0xE0) == 0xC0   ? 1
                         : (c & 0xF0) == 0xE0 ? 2
                         : (c & 0xF8) == 0xF0 ? 3
                                              : -1;
        if (more < 0 || c == 0xC0 || c == 0xC1 || i + static_cast<std::size_t>(more) >= s.size())
            return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        wide = true;
        i += static_cast<std::size_t>(more) + 1;
    }
    return wide;
}

struct Parser {
    std::string_view origin;
    int line = 0;

    [[noreturn]] void Fail(const std::string& what) const {
        throw Error("Файл подсветки " + std::string(origin) + ", строка " + std::to_string(line) +
                    ": " + what);
    }

    TTokenRole Role(std::string_view name) const {
        const std::string lower = Lower(name);
        for (std::size_t i = 0; i < kRoleNames.size(); ++i)
            if (kRoleNames[i] == lower) return static_cast<TTokenRole>(i);
        Fail("неизвестная роль \"" + std::string(name) +
             "\" (возможны comment, string, keyword, type, register, directive, preprocessor)");
    }

    std::string Key(std::string_view key, const char* what) const {
        if (key.empty()) Fail(std::string("пустой ") + what);
        if (key.size() > static_cast<std::size_t>(kMaxHighlightKeyLength))
            Fail(std::string(what) + " длиннее " + std::to_string(kMaxHighlightKeyLength) +
                 " символов");
        if (key.find(kMaskCode) != std::string_view::npos)
            Fail(std::string(what) + " содержит служебный символ с кодом 5");
        return std::string(key);
    }

    void Language(TSyntax& syntax, std::string_view text) const {
        const std::size_t eq = text.find('=');
        if (eq == std::string_view::npos) Fail("ожидается ключ=значение");
        const std::string key = Lower(Trim(text.substr(0, eq)));
        const std::string_view value = Trim(text.substr(eq + 1));
        if (key == "name") {
            syntax.name = std::string(value);
        } else if (key == "extensions") {
            for (std::string_view e : Tokens(value)) {
                if (e.size() < 2 || e.front() != '.')
                    Fail("расширение \"" + std::string(e) + "\" должно начинаться с точки");
                std::string upper(e);
                for (char& c : upper)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
                syntax.extensions.push_back(std::move(upper));
            }
        } else if (key == "case") {
            const std::string v = Lower(value);
            if (v == "ignore")
                syntax.matchCase = false;
            else if (v == "match")
                syntax.matchCase = true;
            else
                Fail("case может быть только ignore или match");
        } else if (key == "wordchars") {
            for (char c : value)
                if (!Blank(c)) syntax.wordChars.Include(static_cast<unsigned char>(c));
        } else {
            Fail("неизвестный ключ \"" + key + "\"");
        }
    }

    TSyntaxRange Range(std::string_view text) const {
        const std::vector<std::string_view> tokens = Tokens(text);
        TSyntaxRange range;
        range.role = Role(tokens.front());
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            const std::string_view t = tokens[i];
            const std::string lower = Lower(t);
            if (lower.rfind("start=", 0) == 0)
                range.start = Key(t.substr(6), "ключ начала");
            else if (lower.rfind("stop=", 0) == 0)
                range.stop = Key(t.substr(5), "ключ конца");
            else if (lower == "eol")
                range.endsAtLineEnd = true;
            else if (lower == "linestart")
                range.lineStart = true;
            else if (lower.rfind("escape=", 0) == 0 && t.size() == 8)
                range.escape = t[7];
            else
                Fail("непонятное \"" + std::string(t) +
                     "\" (возможны start=, stop=, eol, escape=символ, linestart)");
        }
        if (range.start.empty()) Fail("у диапазона нет start=");
        if (range.stop.empty()) range.endsAtLineEnd = true;
        return range;
    }
};

} // namespace

std::string_view RoleName(TTokenRole role) noexcept {
    return kRoleNames[static_cast<std::size_t>(role)];
}

bool TSyntax::HasExtension(std::string_view upperExtension) const {
    return std::find(extensions.begin(), extensions.end(), upperExtension) != extensions.end();
}

std::string TSyntax::Separators() const {
    std::string out;
    for (int c = 1; c < 256; ++c)
        if (!wordChars.Contains(static_cast<unsigned char>(c))) out.push_back(static_cast<char>(c));
    return out;
}

TSyntax ParseSyntax(std::string_view raw, std::string_view origin) {
    const std::string converted =
        LooksUtf8(raw) ? cp::EncodeFromUtf8(cp::CodePage::Win1251, raw) : std::string(raw);
    std::string_view text = converted;

    TSyntax syntax;
    syntax.fileName = std::string(origin);
    for (int c = 0; c < 256; ++c)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128)
            syntax.wordChars.Include(static_cast<unsigned char>(c));

    enum class Section { None, Language, Ranges, Keywords } section = Section::None;
    Parser parser{origin};
    TKeywordGroup* group = nullptr;
    while (!text.empty()) {
        ++parser.line;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') parser.Fail("нет закрывающей скобки \"]\"");
            const std::vector<std::string_view> head = Tokens(line.substr(1, line.size() - 2));
            const std::string name = head.empty() ? std::string() : Lower(head.front());
            group = nullptr;
            if (name == "language" && head.size() == 1) {
                section = Section::Language;
            } else if (name == "ranges" && head.size() == 1) {
                section = Section::Ranges;
            } else if (name == "keywords" && head.size() == 2) {
                section = Section::Keywords;
                syntax.groups.push_back({parser.Role(head[1]), {}});
                group = &syntax.groups.back();
            } else {
                parser.Fail("неизвестный раздел " + std::string(line) +
                            " (возможны [language], [ranges], [keywords роль])");
            }
            continue;
        }
        switch (section) {
        case Section::None:
            parser.Fail("строка вне раздела");
        case Section::Language:
            parser.Language(syntax, line);
            break;
        case Section::Ranges:
            syntax.ranges.push_back(parser.Range(line));
            break;
        case Section::Keywords:
            for (std::string_view word : Tokens(line))
                group->words.push_back(parser.Key(word, "ключевое слово"));
            break;
        }
    }
    parser.line = 0;
    if (syntax.extensions.empty())
        throw Error("Файл подсветки " + std::string(origin) +
                    ": не указано ни одного расширения (extensions= в разделе [language])");
    std::size_t words = 0;
    for (const TKeywordGroup& g : syntax.groups)
        words += g.words.size();
    // The highlighting state names a keyword or a range in 15 bits.
    if (words >= static_cast<std::size_t>(kMaxHighlightEntries) ||
        syntax.ranges.size() >= static_cast<std::size_t>(kMaxHighlightEntries))
        throw Error("Файл подсветки " + std::string(origin) + ": больше " +
                    std::to_string(kMaxHighlightEntries - 1) + " ключевых слов или диапазонов");
    if (syntax.name.empty()) syntax.name = std::string(origin);
    return syntax;
}

} // namespace lorvane
