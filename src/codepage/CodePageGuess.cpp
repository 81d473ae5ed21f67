#include "codepage/CodePageGuess.h"

#include "platform/CodePageTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace lorvane {
namespace {

// How often each letter а..я (then ё) occurs in Russian prose, per cent.
constexpr double kLetterPercent[33] = {
    8.01, 1.59, 4.54, 1.70,  2.98, 8.45, 0.94, 1.65, 7.35, 1.21, 3.49, // а..к
    4.40, 3.21, 6.70, 10.97, 2.81, 4.73, 5.47, 6.26, 2.62, 0.26,       // л..ф
    0.97, 0.48, 1.44, 0.73,  0.36, 0.04, 1.90, 1.74, 0.32, 0.64, 2.01, // х..я
    0.04,                                                              // ё
};

// Penalties, in the same unit as the letter scores (natural logarithms).
// A symbol glued to a letter is what a wrong reading produces most.
constexpr double kSymbolInWord = -8.0;
constexpr double kSymbolAlone = -3.0;
constexpr double kCaseFlip = -4.0;  // a capital right after a small letter
constexpr double kBadStart = -5.0;  // ь, ъ or ы opening a word
constexpr double kBadSign = -5.0;   // ь or ъ after a vowel or a sign
constexpr double kTriple = -5.0;    // the same letter three times
constexpr double kLongRun = -4.0;   // five consonants or four vowels running
constexpr double kCommonPair = 1.0; // one of the pairs below
// Four or more letters in alphabetical order: a table (case conversion,
// sorting, keyboard layouts) in the page the file really is in.
constexpr double kAlphabet = 3.0;

// Letter pairs that make up a good part of any Russian text; a wrong
// reading turns them into pairs that seldom occur.
constexpr std::string_view kCommonPairs =
    "ст но то на ен ов ни ра во ко ро ал по ре пр го ли ет ер та ос ка ан не ор ол ом ел ле "
    "ва ат ил од ти от ск ла ль ин де ес ит ие ем ак ме ой ны он ар ис ам ся ть ая ый ий ое "
    "ых их же за ог ди ми ви че чт бы ве ду ру ту ус ик из ей ую ют ят ки тр др гр бр ад ук";

enum Kind : std::uint8_t {
    kOther,    // ASCII, control, digits: the same in every reading
    kLetter,   // a Russian letter
    kOpening,  // « „ “ ‘: stands before a word
    kClosing,  // » ” ’ …: stands after a word
    kDetached, // dashes, №, °, no-break space: between words
    kGraphic,  // box drawing and the like: stands in runs of its own kind
    kSymbol,   // anything else: other alphabets' letters, signs
};

struct ByteInfo {
    Kind kind = kOther;
    std::uint8_t letter = 0; // 0..32 (а..я, ё) for kLetter
    bool upper = false;
    bool vowel = false;
    bool sign = false; // ь ъ
    bool badStart = false;
    double score = 0;
};

struct Reading {
    std::array<ByteInfo, 256> bytes{};
    std::array<std::array<bool, 33>, 33> common{};
    const ByteInfo& operator[](unsigned char b) const noexcept { return bytes[b]; }
};

int LetterIndex(char32_t u) {
    if (u >= 0x0430 && u <= 0x044F) return static_cast<int>(u - 0x0430);
    if (u >= 0x0410 && u <= 0x042F) return static_cast<int>(u - 0x0410);
    if (u == 0x0451 || u == 0x0401) return 32;
    return -1;
}

Kind PunctuationKind(char32_t u) {
    switch (u) {
    case 0x00AB:
    case 0x201E:
    case 0x201C:
    case 0x2018:
        return kOpening;
    case 0x00BB:
    case 0x201D:
    case 0x2019:
    case 0x2026:
        return kClosing;
    case 0x2013:
    case 0x2014:
    case 0x2116:
    case 0x00B0:
    case 0x00A0:
    case 0x00B7:
    case 0x2022:
        return kDetached;
    default:
        break;
    }
    if ((u >= 0x2500 && u <= 0x25FF) || u == 0x2219 || u == 0x221A) return kGraphic;
    return kSymbol;
}

Reading MakeReading(cp::CodePage page) {
    Reading r{};
    for (std::size_t at = 0; at < kCommonPairs.size();) {
        const int first = LetterIndex(cp::NextUtf8(kCommonPairs, at));
        const int second = LetterIndex(cp::NextUtf8(kCommonPairs, at));
        ++at; // the blank between pairs
        r.common[static_cast<std::size_t>(first)][static_cast<std::size_t>(second)] = true;
    }
    for (int b = 0x80; b < 0x100; ++b) {
        ByteInfo& info = r.bytes[static_cast<std::size_t>(b)];
        const char32_t u = cp::ToUnicode(page, static_cast<unsigned char>(b));
        const int index = LetterIndex(u);
        if (index < 0) {
            info.kind = PunctuationKind(u);
            info.score = kSymbolAlone;
            continue;
        }
        info.kind = kLetter;
        info.letter = static_cast<std::uint8_t>(index);
        info.upper = u < 0x0430 || u == 0x0401;
        // а е и о у ы э ю я ё
        static constexpr std::array<int, 10> vowels = {0, 5, 8, 14, 19, 27, 29, 30, 31, 32};
        info.vowel = std::find(vowels.begin(), vowels.end(), index) != vowels.end();
        info.sign = index == 26 || index == 28;
        info.badStart = info.sign || index == 27;
        info.score = std::log(kLetterPercent[index] / 100.0);
    }
    return r;
}

const Reading& ReadingOf(TConvType page) {
    static const Reading win = MakeReading(cp::CodePage::Win1251);
    static const Reading koi = MakeReading(cp::CodePage::Koi8R);
    static const Reading dos = MakeReading(cp::CodePage::Cp866);
    return page == PG_KOI ? koi : page == PG_DOS886 ? dos : win;
}

struct Score {
    double total = 0;
    int letters = 0;
};

Score ScoreReading(std::string_view bytes, const Reading& r) {
    Score s;
    const ByteInfo none{};
    const ByteInfo* prev2 = &none;
    const ByteInfo* prev = &none;
    int consonants = 0, vowels = 0, ordered = 0;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const ByteInfo& cur = r[b];
        if (cur.kind == kOther) {
            prev2 = prev;
            prev = &none;
            consonants = vowels = 0;
            continue;
        }
        if (cur.kind != kLetter) {
            const ByteInfo& next = i + 1 < n ? r[static_cast<unsigned char>(bytes[i + 1])] : none;
            const bool before = prev->kind == kLetter;
            const bool after = next.kind == kLetter;
            // Two different signs side by side are as rare in a text as a
            // sign inside a word; box drawing keeps to its own kind.
            const auto clash = [&](const ByteInfo& other) {
                return other.kind != kOther && other.kind != kLetter && &other != &cur &&
                       !(other.kind == kGraphic && cur.kind == kGraphic);
            };
            // Box drawing is lines and corners: a piece between two other
            // different pieces is text read in the wrong page.
            const bool jumbled = cur.kind == kGraphic && prev->kind == kGraphic &&
                                 next.kind == kGraphic && prev != &cur && &next != &cur &&
                                 prev != &next;
            const bool glued =
                jumbled || (cur.kind == kOpening && before) || (cur.kind == kClosing && after) ||
                (cur.kind != kOpening && cur.kind != kClosing && (before || after)) ||
                clash(*prev) || clash(next);
            s.total += glued ? kSymbolInWord : cur.score;
            prev2 = prev;
            prev = &cur;
            consonants = vowels = 0;
            continue;
        }
        ++s.letters;
        double score = cur.score;
        const bool inWord = prev->kind == kLetter;
        if (!inWord && cur.badStart) score += kBadStart;
        if (inWord) {
            if (cur.upper && !prev->upper) score += kCaseFlip;
            if (r.common[prev->letter][cur.letter]) score += kCommonPair;
            // ё (index 32) stands between е (5) and ж (6) in the alphabet.
            const int a = prev->letter, b = cur.letter;
            const bool follows = b == a + 1 || (a == 5 && b == 32) || (a == 32 && b == 6);
            ordered = follows && cur.upper == prev->upper ? ordered + 1 : 1;
            if (ordered >= 4) score += kAlphabet;
            if (cur.sign && (prev->vowel || prev->sign)) score += kBadSign;
            if (prev2->kind == kLetter && prev2->letter == cur.letter && prev->letter == cur.letter)
                score += kTriple;
        } else {
            consonants = vowels = 0;
            ordered = 1;
        }
        if (cur.vowel) {
            consonants = 0;
            if (++vowels >= 4) score += kLongRun;
        } else if (!cur.sign) {
            vowels = 0;
            if (++consonants >= 5) score += kLongRun;
        }
        s.total += score;
        prev2 = prev;
        prev = &cur;
    }
    return s;
}

} // namespace

TCodePageScores ScoreCodePages(std::string_view bytes) noexcept {
    TCodePageScores scores;
    const std::string_view sample = bytes.substr(0, std::min(bytes.size(), kGuessSample));
    for (TConvType page : {PG_WIN, PG_KOI, PG_DOS886}) {
        const Score s = ScoreReading(sample, ReadingOf(page));
        scores.score[page] = s.total;
        scores.letters[page] = s.letters;
    }
    return scores;
}

TConvType GuessCodePage(std::string_view bytes) noexcept {
    const TCodePageScores s = ScoreCodePages(bytes);
    const TConvType other = s.score[PG_KOI] >= s.score[PG_DOS886] ? PG_KOI : PG_DOS886;
    const TConvType third = other == PG_KOI ? PG_DOS886 : PG_KOI;
    // Too few letters to tell, or not far enough ahead of Windows-1251 (or
    // of the third reading): the text opens as it always has.
    constexpr int kMinLetters = 12;
    constexpr double kMinLead = 12.0;
    constexpr double kLeadPerLetter = 0.25;
    const int letters = s.letters[other];
    if (letters < kMinLetters) return PG_WIN;
    const double need = std::max(kMinLead, kLeadPerLetter * letters);
    if (s.score[other] - s.score[PG_WIN] < need) return PG_WIN;
    if (s.score[other] - s.score[third] < kMinLead) return PG_WIN;
    return other;
}

} // namespace lorvane
