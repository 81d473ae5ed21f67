#pragma once
// A language's highlighting vocabulary as its file describes it: which
// documents it is for (by extension), how keywords and range keys compare,
// which characters make up a word, the ranges (comments, strings, ...) and
// the keyword groups, each with the role that decides its colour.
#include "editor/highlight/HighlightTypes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane {

// What a coloured piece of text is; the colour scheme has one colour each.
enum class TTokenRole : std::uint8_t {
    Comment,
    String,
    Keyword,
    Type,
    Register,
    Directive,
    Preprocessor,
};
inline constexpr std::size_t kTokenRoleCount = 7;
// The role's name in vocabulary files; nullptr-free, one per role.
std::string_view RoleName(TTokenRole role) noexcept;

struct TSyntaxRange {
    TTokenRole role = TTokenRole::Comment;
    std::string start;
    std::string stop;           // empty: the range ends at the line end
    bool endsAtLineEnd = false; // also when a stop key is never found
    char escape = 0;            // 0: none
    bool lineStart = false;     // only after nothing but blanks on the line

    // The control's own start/stop keys cannot skip escaped characters or
    // look at what stands before a key.
    bool NeedsHighlighter() const noexcept { return escape != 0 || lineStart; }
};

struct TKeywordGroup {
    TTokenRole role = TTokenRole::Keyword;
    std::vector<std::string> words;
};

struct TSyntax {
    std::string name;
    std::string fileName;                // where it was read from
    std::vector<std::string> extensions; // upper-case, with the dot
    bool matchCase = false;
    TCharSet wordChars; // letters, digits, bytes from 128 up, and the file's own
    std::vector<TSyntaxRange> ranges;
    std::vector<TKeywordGroup> groups;

    bool HasExtension(std::string_view upperExtension) const;
    // Every byte that is not a word character: what decides whole words.
    std::string Separators() const;
};

// Reads a vocabulary file's text (Windows-1251, or UTF-8, which is converted).
// A mistake raises lorvane::Error naming `origin` and the line.
TSyntax ParseSyntax(std::string_view text, std::string_view origin);

} // namespace lorvane
