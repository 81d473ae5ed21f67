// Whole-text access for the views and the application: ranges, paragraphs,
// display lines laid out on demand, and the text search.
#include "editor/model/RIzuvAzazModel.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

void RIzuvAzazModel::SetParagraph(std::int32_t index, std::string_view text) {
    const std::int32_t caretParagraph = Caret().ParagraphIndex();
    std::int32_t selStart = SelStart();
    const std::int32_t selLength = SelLength();
    if (index == caretParagraph) SetSelStart(StartAt(index));
    BeginUpdate();
    std::int32_t change = 0;
    try {
        while (index >= ParagraphCount()) {
            SetSelStart(TextLength());
            Replace("\r\n");
        }
        const std::int32_t before = TextLength();
        SetSelStart(StartAt(index));
        SetSelLength(ParagraphAt(index)->length);
        Replace(text);
        change = TextLength() - before;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    // The caret keeps its place in the text: edits above it move it along.
    if (index < caretParagraph) selStart += change;
    SetSelStart(selStart);
    if (index != caretParagraph) SetSelLength(selLength);
}

std::string RIzuvAzazModel::GetTextRange(std::int32_t from, std::int32_t to) {
    from = std::max(from, 0);
    to = std::min(to, TextLength());
    if (from >= to) return {};
    std::string out(static_cast<std::size_t>(to - from) + 1, '\0');
    text_.SetPosition(from);
    text_.GetText(out.data(), to - from);
    out.resize(static_cast<std::size_t>(to - from));
    return out;
}

void RIzuvAzazModel::GoToParagraph(std::int32_t index) {
    index = std::clamp(index, 0, ParagraphCount() - 1);
    SetSelStart(StartAt(index));
}

void RIzuvAzazModel::SeekDisplayLine(TNavigator& nav, std::int32_t line, TLineSeek seek) {
    if (seek == TLineSeek::Nearby) {
        // Only the paragraph the line falls in is laid out: the pending ones
        // before it keep their present line counts, and the number found is
        // as good as the numbering it was taken from (the view's, the
        // caret's). Laying them all out would cost the whole text before a
        // far line; the background lays them out later and the view, held
        // by the text at its top, keeps its place meanwhile.
        for (;;) {
            nav.SetLineNumber(line);
            const std::int32_t at = nav.ParagraphIndex();
            if (ParagraphAt(at)->laidOut) return;
            LayoutRange(at, at, false);
        }
    }
    for (;;) {
        nav.SetLineNumber(line);
        const std::int32_t upTo = nav.ParagraphIndex();
        // Lay out the pending paragraphs up to the one the line falls in;
        // the numbering below them may move, so the line is looked up again.
        std::int32_t from = std::max(layoutFrom_, 0);
        while (from <= layoutTo_ && from <= upTo && ParagraphAt(from)->laidOut)
            ++from;
        // What was stepped over needs nothing more; the next seek starts
        // behind it instead of walking it again (reading every line of a
        // text one by one would otherwise grow with the square of its size).
        if (from <= layoutTo_ && from > layoutFrom_) layoutFrom_ = from;
        if (from > layoutTo_ || from > upTo) {
            if (nav.LineNumber() == line || layoutTo_ < 0 || from >= ParagraphCount()) return;
            if (upTo < ParagraphCount() - 1 || from > layoutTo_) return;
        }
        LayoutRange(from, std::max(from, upTo), false);
    }
}

void RIzuvAzazModel::GoToDisplayLine(std::int32_t line) {
    SeekDisplayLine(work_, line, TLineSeek::Exact);
    SetSelStart(work_.Position());
}

std::string RIzuvAzazModel::DisplayLineText(std::int32_t line) {
    if (line < 0) return {};
    SeekDisplayLine(work_, line, TLineSeek::Exact);
    if (line >= LineCount() || work_.LineNumber() != line) return {};
    const ParagraphInfo* p = work_.Paragraph();
    const LineInfo* l = work_.Lines().At(work_.LineInParagraph());
    return std::string(p->text ? p->text + l->start : "",
                       static_cast<std::size_t>(l->end - l->start));
}

namespace {

struct Needle {
    std::string_view text;
    const unsigned char* fold; // nullptr: compare bytes as they are
};

bool MatchAt(const char* t, std::int32_t at, const Needle& n) noexcept {
    const auto len = static_cast<std::int32_t>(n.text.size());
    if (!n.fold) return std::memcmp(t + at, n.text.data(), n.text.size()) == 0;
    for (std::int32_t i = 0; i < len; ++i)
        if (n.fold[static_cast<unsigned char>(t[at + i])] != static_cast<unsigned char>(n.text[i]))
            return false;
    return true;
}

// The bytes that fold to the needle's first byte (a letter has two, its
// capital and its small form), each repeated over a 64-bit word: eight
// bytes of text are tested for all of them at once.
struct FirstBytes {
    std::uint64_t words[4] = {};
    int count = 0; // more than four: looked for byte by byte
};

FirstBytes FirstBytesOf(const Needle& n) noexcept {
    FirstBytes fb;
    const auto first = static_cast<unsigned char>(n.text[0]);
    for (int b = 0; b < 256; ++b)
        if (n.fold[b] == first && fb.count++ < 4)
            fb.words[fb.count - 1] = 0x0101010101010101ULL * static_cast<unsigned char>(b);
    return fb;
}

// Whether any byte of x is zero, as a non-zero word (it may flag a byte
// above a true zero too, which the byte check then rejects).
constexpr std::uint64_t HasZeroByte(std::uint64_t x) noexcept {
    return (x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL;
}

// Next candidate start in [from, last] (inclusive) or -1.
std::int32_t NextCandidate(const char* t, std::int32_t from, std::int32_t last, const Needle& n,
                           const FirstBytes& fb) noexcept {
    if (from > last) return -1;
    if (!n.fold) {
        const void* hit = memmem(t + from, static_cast<std::size_t>(last - from) + n.text.size(),
                                 n.text.data(), n.text.size());
        return hit ? static_cast<std::int32_t>(static_cast<const char*>(hit) - t) : -1;
    }
    const auto first = static_cast<unsigned char>(n.text[0]);
    std::int32_t i = from;
    if (fb.count <= 4) {
        // Words that hold none of the first bytes are stepped over whole;
        // reads stay within the text (the needle's length past `last`).
        const std::int64_t end =
            static_cast<std::int64_t>(last) + static_cast<std::int64_t>(n.text.size());
        for (; i + 8 <= end; i += 8) {
            std::uint64_t x;
            std::memcpy(&x, t + i, sizeof x);
            std::uint64_t hit = 0;
            for (int k = 0; k < fb.count; ++k)
                hit |= HasZeroByte(x ^ fb.words[k]);
            if (hit == 0) continue;
            for (std::int32_t j = i; j < i + 8 && j <= last; ++j)
                if (n.fold[static_cast<unsigned char>(t[j])] == first && MatchAt(t, j, n)) return j;
        }
    }
    for (; i <= last; ++i)
        if (n.fold[static_cast<unsigned char>(t[i])] == first && MatchAt(t, i, n)) return i;
    return -1;
}

} // namespace

bool RIzuvAzazModel::FindText(std::string_view what, bool forward, bool matchCase, bool wholeWord) {
    if (what.empty()) return false;
    std::string needleText(what);
    Needle needle{needleText, nullptr};
    std::string folded;
    const unsigned char* table = nullptr;
    if (!matchCase) {
        UpperCaseInPlace(upperCaseType_, needleText.data(), needleText.size());
        table = UpperCaseTable(upperCaseType_);
        needle.fold = table;
    }
    needle.text = needleText;
    const auto n = static_cast<std::int32_t>(needleText.size());

    // Paragraph text as searched: the bytes themselves, or an upper-cased
    // copy when a user-defined function has no table.
    auto textOf = [&](std::int32_t i) -> const char* {
        const ParagraphInfo* p = ParagraphAt(i);
        if (matchCase || table || !p->text) return p->text;
        folded.assign(p->text, static_cast<std::size_t>(p->length));
        UpperCaseInPlace(upperCaseType_, folded.data(), folded.size());
        return folded.data();
    };
    auto whole = [&](const ParagraphInfo* p, std::int32_t at) {
        if (!wholeWord) return true;
        const bool before = at == 0 || IsSeparator(static_cast<unsigned char>(p->text[at - 1]));
        const bool after =
            at + n == p->length || IsSeparator(static_cast<unsigned char>(p->text[at + n]));
        return before && after;
    };
    const Needle plainNeedle{needleText, matchCase || table ? needle.fold : nullptr};
    const FirstBytes firstBytes = plainNeedle.fold ? FirstBytesOf(plainNeedle) : FirstBytes{};

    TNavigator& caret = Caret();
    std::int32_t i = caret.ParagraphIndex();
    std::int32_t offset = std::min(caret.ParagraphOffset(), ParagraphAt(i)->length);
    const std::int32_t count = ParagraphCount();

    if (forward) {
        for (; i < count; ++i, offset = 0) {
            const ParagraphInfo* p = ParagraphAt(i);
            if (p->length < n) continue;
            const char* t = textOf(i);
            std::int32_t at = offset;
            while ((at = NextCandidate(t, at, p->length - n, plainNeedle, firstBytes)) >= 0) {
                if (whole(p, at)) {
                    ScanStartStopInSlices(i);
                    SetSelStart(StartAt(i) + at + n);
                    SetSelLength(-n);
                    return true;
                }
                ++at;
            }
        }
        return false;
    }
    for (bool first = true; i >= 0; --i, first = false) {
        const ParagraphInfo* p = ParagraphAt(i);
        if (p->length < n) continue;
        const char* t = textOf(i);
        const std::int32_t lastStart = first ? std::min(offset - 1, p->length - n) : p->length - n;
        std::int32_t found = -1;
        for (std::int32_t at = 0;
             (at = NextCandidate(t, at, lastStart, plainNeedle, firstBytes)) >= 0; ++at)
            if (whole(p, at)) found = at;
        if (found >= 0) {
            ScanStartStopInSlices(i);
            SetSelStart(StartAt(i) + found);
            SetSelLength(n);
            return true;
        }
    }
    return false;
}

} // namespace lorvane
