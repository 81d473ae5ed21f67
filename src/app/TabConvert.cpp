#include "app/TabConvert.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lorvane {

void AppendTabsAsSpaces(std::string_view line, std::string& out) {
    const std::size_t lineStart = out.size();
    for (std::size_t from = 0; from < line.size();) {
        const std::size_t tab = std::min(line.find('\t', from), line.size());
        out.append(line.substr(from, tab - from));
        if (tab == line.size()) break;
        out.append(kTabWidth - (out.size() - lineStart) % kTabWidth, ' ');
        from = tab + 1;
    }
}

void AppendSpacesAsTabs(std::string_view line, std::string& out) {
    std::size_t run = 0;
    for (char c : line) {
        if (c == ' ') {
            if (run++ % kTabWidth == 0) out.push_back('\t');
            continue;
        }
        run = 0;
        out.push_back(c);
    }
}

std::string TabsToSpaces(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    AppendTabsAsSpaces(line, out);
    return out;
}

std::string SpacesToTabs(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    AppendSpacesAsTabs(line, out);
    return out;
}

namespace {

// The letter set of a code page as a 256-entry membership table.
std::array<bool, 256> Letters(TConvType page) {
    std::array<bool, 256> in{};
    for (unsigned char c : CodePageLetters[page])
        in[c] = true;
    return in;
}

} // namespace

std::array<unsigned char, 256> CodePageExchange(TConvType from, TConvType to) noexcept {
    std::array<unsigned char, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b)
        table[b] = static_cast<unsigned char>(b);
    if (from == to || from >= kConvTypeCount || to >= kConvTypeCount) return table;
    const unsigned char* recode = RecodeTable(from, to);
    const std::array<bool, 256> fromLetters = Letters(from);
    const std::array<bool, 256> toLetters = Letters(to);
    // Letters of `to` that no letter of `from` becomes would otherwise stay
    // and collide; they take, in order, the letters of `from` that `to`
    // lacks. Pairing both lists in ascending order makes the exchange with
    // the pages swapped the exact inverse.
    std::vector<unsigned char> strays, freed;
    for (int b = 0; b < 256; ++b) {
        const bool f = fromLetters[static_cast<std::size_t>(b)];
        const bool t = toLetters[static_cast<std::size_t>(b)];
        table[static_cast<std::size_t>(b)] = f ? recode[b] : static_cast<unsigned char>(b);
        if (t && !f) strays.push_back(static_cast<unsigned char>(b));
        if (f && !t) freed.push_back(static_cast<unsigned char>(b));
    }
    for (std::size_t i = 0; i < strays.size() && i < freed.size(); ++i)
        table[strays[i]] = freed[i];
    return table;
}

void SwitchCodePage(TConvType from, TConvType to, std::string& text) noexcept {
    if (from == to || from >= kConvTypeCount || to >= kConvTypeCount) return;
    const std::array<unsigned char, 256> table = CodePageExchange(from, to);
    for (char& c : text)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

} // namespace lorvane
