// Word wrap: cutting paragraphs into display lines, and the immediate,
// on-demand and background scheduling of that work.
#include "editor/model/RIzuvAzazModel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <vector>

namespace lorvane {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(300);
constexpr auto kSliceBudget = std::chrono::milliseconds(25);
constexpr std::int32_t kMeasureChunk = 4096;

std::int32_t EntriesBefore(const ParagraphInfo& p, std::int32_t offset) noexcept {
    const AttrInfo* begin = p.entries;
    const AttrInfo* end = p.entries + p.entryCount;
    return static_cast<std::int32_t>(std::lower_bound(begin, end, offset,
                                                      [](const AttrInfo& a, std::int32_t o) {
                                                          return static_cast<std::int32_t>(
                                                                     a.offsetOrRefs) < o;
                                                      }) -
                                     begin);
}

} // namespace

std::uint8_t RIzuvAzazModel::EffectiveStyle(std::uint8_t staticStyle,
                                            const AttrInfo& state) const noexcept {
    if (!(state.flags & 0x80)) return staticStyle ^ baseFontStyle_;
    if ((state.flags & 0x18) != 0x18) return state.flags & 0x3F;
    return state.flags & 0xA7;
}

std::int32_t RIzuvAzazModel::AvailableWidth() const noexcept {
    std::int32_t w;
    if (!wordWrap_ && alignment_ == taLeftJustify)
        w = INT_MAX - rightMargin_;
    else
        w = (host_ ? host_->ClientWidth() : INT_MAX / 2) - leftMargin_ - rightMargin_;
    return w < 1 ? 1 : w;
}

void RIzuvAzazModel::TrackWidest(const LineInfo& line, std::int32_t paragraph) noexcept {
    if (line.widthWithBlanks > widest_) {
        widest_ = line.widthWithBlanks;
        if (!wordWrap_) widestParagraph_ = paragraph;
    }
}

void RIzuvAzazModel::ScanStartStopUpTo(std::int32_t index) {
    index = std::min(index, ParagraphCount() - 1);
    if (index <= startStopFrontier_) return;
    if (passes_ && applyStartStopKeys_) {
        passes_->ScanStartStopUpTo(*this, index);
    } else {
        for (std::int32_t i = std::max(startStopFrontier_ + 1, 0); i <= index; ++i)
            ParagraphAt(i)->startStopScanned = 1;
    }
    startStopFrontier_ = std::max(startStopFrontier_, index);
}

void RIzuvAzazModel::ScanStartStopInSlices(std::int32_t index) {
    constexpr std::int32_t kSlice = 32768;
    index = std::min(index, ParagraphCount() - 1);
    const std::int32_t from = std::max(startStopFrontier_, 0);
    while (startStopFrontier_ < index) {
        ScanStartStopUpTo(std::min(std::max(startStopFrontier_, 0) + kSlice, index));
        ++updateCount_;
        FireProgress(
            static_cast<std::int32_t>(static_cast<std::int64_t>(startStopFrontier_ - from) * 100 /
                                      std::max(index - from, 1)));
        --updateCount_;
    }
}

void RIzuvAzazModel::StartStateChanged(std::int32_t index) noexcept {
    startStopFrontier_ = std::min(startStopFrontier_, index - 1);
    layoutFrom_ = std::min(layoutFrom_, index);
    layoutTo_ = std::max(layoutTo_, index);
}

// Lays out what the range holds, also what a change of start state adds
// to it on the way.
void RIzuvAzazModel::FinishLayoutRange() {
    while (layoutTo_ >= 0 && layoutFrom_ <= layoutTo_ && layoutFrom_ < ParagraphCount()) {
        // LayoutRange steps over laid-out paragraphs without moving the
        // range start; everything up to `to` is done after it all the same.
        const std::int32_t to = layoutTo_;
        LayoutRange(layoutFrom_, to, false);
        layoutFrom_ = std::max(layoutFrom_, to + 1);
    }
    if (layoutFrom_ > layoutTo_ || layoutFrom_ >= ParagraphCount()) {
        layoutFrom_ = ParagraphCount();
        layoutTo_ = -1;
    }
}

// One paragraph, from display line firstLine on (whole: up to its end; else
// stopping where a new line break meets an old one).
std::int32_t RIzuvAzazModel::LayoutParagraph(std::int32_t index, std::int32_t firstLine, bool whole,
                                             bool selectFont, std::int32_t rewrapThrough) {
    ParagraphInfo* p = ParagraphAt(index);
    if (!p->keywordsApplied && (applyKeyWords_ || passes_)) {
        // Hook point: the keyword pass rebuilds the paragraph's keyword highlights.
        if (passes_) passes_->KeywordPass(*this, index);
        p = ParagraphAt(index);
        p->keywordsApplied = 1;
    }
    p->laidOut = 1;
    TrimEntries(*p);

    firstRebuiltLine_ = FirstLineAt(index);
    if (!device_) {
        LineInfo line;
        line.style = p->line0.style;
        line.end = p->length;
        ReplaceLines(index, 0, p->lineCount, &line, 1);
        return FirstLineAt(index);
    }

    const std::int32_t changed = std::clamp(firstLine, 0, p->lineCount - 1);
    // Starting one line higher lets the first word of the changed line move
    // back up when it fits there now. When that line continues a word cut
    // for being wider than the line, the word may have become narrow enough
    // to move up or to fit whole, so the walk starts where it began; but
    // two whole lines cut out of one word before the change already make it
    // wider than a line, so it never goes back further than that: an edit
    // in a long word costs the rest of the word, not all of it.
    std::int32_t first = changed > 0 ? changed - 1 : 0;
    {
        TLinesList view(p);
        for (int extra = 0; extra < 2 && first > 0; ++extra) {
            const std::int32_t at = view.At(first)->start;
            if (at <= 0 || at > p->length || p->text[at - 1] == ' ' || p->text[at - 1] == '\t')
                break;
            --first;
        }
    }
    const std::int32_t minStop = std::max(changed, rewrapThrough) - first;
    std::vector<LineInfo> old;
    {
        TLinesList view(p);
        old.reserve(static_cast<std::size_t>(p->lineCount - first));
        for (std::int32_t k = first; k < p->lineCount; ++k)
            old.push_back(*view.At(k));
    }

    const char* t = p->text;
    const std::int32_t length = p->length;
    const std::int32_t width = AvailableWidth();
    const std::int32_t tabWidth = std::max(1, tabStops_ * device_->AverageCharWidth());

    std::int32_t pos = first == 0 ? 0 : old[0].start;
    std::uint8_t style = first == 0 ? p->line0.style : old[0].style;
    std::int32_t ai = EntriesBefore(*p, pos);
    const AttrInfo* state = ai > 0 ? &p->entries[ai - 1] : p->startContext;

    std::uint8_t font = EffectiveStyle(style, *state);
    int overhang = 0, spaceWidth = 0;
    auto fontSelected = [&] {
        const int one = device_->TextWidth(" ", 1);
        const int two = device_->TextWidth("  ", 2);
        overhang = 2 * one - two;
        spaceWidth = one - overhang;
        spaceWidth_ = spaceWidth;
    };
    if (selectFont) device_->SelectFont(font);
    fontSelected();
    auto refreshFont = [&] {
        const std::uint8_t eff = EffectiveStyle(style, *state);
        if ((eff ^ font) & ~0x10) {
            device_->SelectFont(eff);
            fontSelected();
        }
        font = eff;
    };
    // Moves the highlighting state to the one in force at character k.
    auto enter = [&](std::int32_t k) {
        bool moved = false;
        while (ai < p->entryCount && static_cast<std::int32_t>(p->entries[ai].offsetOrRefs) <= k) {
            ++ai;
            moved = true;
        }
        if (moved) {
            state = &p->entries[ai - 1];
            refreshFont();
        }
    };
    const bool codes = staticFormat_;

    std::vector<LineInfo> out;
    LineInfo cur;
    std::int32_t x = 0, xWords = 0, blanks = 0, trailing = 0;
    std::size_t oldIdx = 0;
    bool stop = false;
    std::array<int, 256> widths{};
    std::int32_t widthsFrom = 0, widthsTo = 0;
    std::uint8_t widthsFont = 0;

    auto startLine = [&](std::int32_t at, std::uint8_t atStyle, std::int32_t atEntries) {
        cur = LineInfo{};
        cur.start = at;
        cur.justifyStart = at;
        cur.style = atStyle;
        cur.attrIndex = atEntries;
        x = xWords = blanks = trailing = 0;
    };
    auto closeLine = [&](std::int32_t end) {
        cur.end = end;
        cur.width = xWords;
        cur.widthWithBlanks = x;
        cur.blanks = blanks - trailing;
        out.push_back(cur);
        TrackWidest(cur, index);
        if (whole) return;
        while (oldIdx < old.size() && old[oldIdx].end < end)
            ++oldIdx;
        if (oldIdx >= old.size() || old[oldIdx].end != end ||
            oldIdx < static_cast<std::size_t>(minStop))
            return;
        // Lines an edit emptied at this point are replaced as well.
        while (oldIdx + 1 < old.size() && old[oldIdx + 1].start == old[oldIdx + 1].end)
            ++oldIdx;
        if (oldIdx + 1 < old.size()) stop = true;
    };
    // The end of the word being placed, and the first format code after
    // codeScanFrom inside it (or its end): each byte of a long word is
    // looked at once, however many lines it is cut into.
    std::int32_t wordEnd = 0;
    std::int32_t codeScanFrom = 0, nextCode = 0;
    auto codeAfter = [&](std::int32_t k) {
        if (k < codeScanFrom || k >= nextCode) {
            codeScanFrom = k;
            nextCode = k + 1;
            while (nextCode < wordEnd && !IsFormatCode(static_cast<unsigned char>(t[nextCode])))
                ++nextCode;
        }
        return nextCode;
    };
    // Width of [from, to), measured in runs cut at codes, entries and 4096
    // characters; the style and state move along. It stops early, with a
    // width over `room`, once the part measured is wider than room: a word
    // that does not fit is measured only as far as the line reaches, so
    // breaking a very long word stays linear in its length.
    auto measure = [&](std::int32_t from, std::int32_t to, int room) {
        int w = 0;
        std::int32_t k = from;
        // Runs start a little longer than what fits and double from there;
        // an ordinary word is measured in one run.
        const std::int32_t fit = std::max(room, 0) / std::max(1, device_->AverageCharWidth());
        std::int32_t run = std::clamp<std::int32_t>(fit + fit / 4 + 8, 8, kMeasureChunk);
        while (k < to) {
            if (w - overhang > room) return w - overhang;
            enter(k);
            if (codes && IsFormatCode(static_cast<unsigned char>(t[k]))) {
                style ^= StyleBitOfCode(static_cast<unsigned char>(t[k]));
                refreshFont();
                ++k;
                continue;
            }
            std::int32_t e = std::min(to, k + run);
            run = std::min(run * 2, kMeasureChunk);
            if (ai < p->entryCount)
                e = std::min(e, static_cast<std::int32_t>(p->entries[ai].offsetOrRefs));
            const std::int32_t j = codes ? std::min(e, codeAfter(k)) : e;
            w += device_->TextWidth(t + k, j - k);
            k = j;
        }
        return w - overhang;
    };

    startLine(pos, style, ai);
    while (pos < length && !stop) {
        const auto c = static_cast<unsigned char>(t[pos]);
        enter(pos);
        if (c == 9) {
            x = (x / tabWidth + 1) * tabWidth;
            blanks = 0;
            trailing = 0;
            cur.justifyStart = pos;
            ++pos;
            continue;
        }
        if (c == 32) {
            x += spaceWidth;
            ++blanks;
            ++trailing;
            ++pos;
            continue;
        }
        if (codes && IsFormatCode(c)) {
            style ^= StyleBitOfCode(c);
            refreshFont();
            ++pos;
            continue;
        }
        // A word: up to the next blank, tab or the paragraph end (found once
        // for all the lines a long word is cut into).
        const std::int32_t ws = pos;
        if (wordEnd <= pos) {
            wordEnd = pos + 1;
            while (wordEnd < length && t[wordEnd] != ' ' && t[wordEnd] != '\t')
                ++wordEnd;
        }
        const std::int32_t we = wordEnd;
        const std::uint8_t wsStyle = style;
        const std::int32_t wsEntries = ai;
        const AttrInfo* wsState = state;
        const std::uint8_t wsFont = font;
        const int ww = measure(ws, we, width - x);
        if (x + ww <= width) {
            x += ww;
            xWords = x;
            trailing = 0;
            pos = we;
            continue;
        }
        auto rewind = [&] {
            style = wsStyle;
            ai = wsEntries;
            state = wsState;
            if (font != wsFont) {
                device_->SelectFont(wsFont);
                fontSelected();
                font = wsFont;
            }
        };
        rewind();
        if (ws > cur.start) {
            // The word goes to the next line; the blanks before it stay here.
            closeLine(ws);
            startLine(ws, wsStyle, EntriesBefore(*p, ws));
            pos = ws;
            continue;
        }
        // The word alone is wider than the line: split it, at least one character a line.
        std::int32_t k = ws;
        int lastWidth = 0;
        std::int32_t taken = 0;
        while (k < we && (x < width || taken == 0)) {
            enter(k);
            const auto ch = static_cast<unsigned char>(t[k]);
            if (codes && IsFormatCode(ch)) {
                style ^= StyleBitOfCode(ch);
                refreshFont();
                lastWidth = 0;
                ++k;
                ++taken;
                continue;
            }
            // Plain characters up to the next code or entry, where the font
            // may change; their widths come a block at a time, each byte
            // measured once.
            std::int32_t runEnd = we;
            if (ai < p->entryCount)
                runEnd = std::min(runEnd, static_cast<std::int32_t>(p->entries[ai].offsetOrRefs));
            if (codes) runEnd = std::min(runEnd, codeAfter(k));
            if (font != widthsFont || k < widthsFrom) widthsTo = widthsFrom = k;
            widthsFont = font;
            while (k < runEnd && (x < width || taken == 0)) {
                if (k >= widthsTo) {
                    widthsFrom = k;
                    widthsTo = std::min(runEnd, k + static_cast<std::int32_t>(widths.size()));
                    device_->CharWidths(t + k, widthsTo - k, widths.data());
                }
                lastWidth = widths[static_cast<std::size_t>(k - widthsFrom)] - overhang;
                x += lastWidth;
                ++k;
                ++taken;
            }
        }
        if (k == we) { // the rest of the word fits, or is one character
            xWords = x;
            trailing = 0;
            pos = we;
            continue;
        }
        const bool entryThere =
            ai > 0 && static_cast<std::int32_t>(p->entries[ai - 1].offsetOrRefs) == k - 1;
        if (taken > 1 && x > width && lastWidth > 0 && !entryThere) {
            --k;
            x -= lastWidth;
        }
        xWords = x;
        trailing = 0;
        closeLine(k);
        startLine(k, style, EntriesBefore(*p, k));
        pos = k;
    }
    if (!stop) closeLine(length);

    const std::int32_t replaced =
        stop ? static_cast<std::int32_t>(oldIdx) + 1 : static_cast<std::int32_t>(old.size());
    ReplaceLines(index, first, replaced, out.data(), static_cast<std::int32_t>(out.size()));
    firstRebuiltLine_ = FirstLineAt(index) + first;
    return FirstLineAt(index) + first + static_cast<std::int32_t>(out.size()) - 1;
}

void RIzuvAzazModel::LayoutRange(std::int32_t from, std::int32_t to, bool force) {
    const auto began = Clock::now();
    auto lastReport = began;
    to = std::min(to, ParagraphCount() - 1);
    from = std::max(from, 0);
    const std::int32_t count = ParagraphCount();
    bool firstInBatch = true;
    for (std::int32_t i = from; i <= to; ++i) {
        ScanStartStopUpTo(i);
        if (ParagraphAt(i)->laidOut && !force) continue;
        const auto now = Clock::now();
        if (now - lastReport >= kProgressInterval) {
            lastReport = now;
            FireProgress(std::min<std::int32_t>(
                99, static_cast<std::int32_t>(static_cast<std::int64_t>(i) * 100 / count)));
        }
        LayoutParagraph(i, 0, true, firstInBatch);
        firstInBatch = false;
        if (layoutFrom_ >= from && layoutFrom_ <= i) layoutFrom_ = i + 1;
    }
    if (layoutFrom_ > layoutTo_) {
        layoutFrom_ = ParagraphCount();
        layoutTo_ = -1;
    }
    if (from <= to) InvalidateLineCaches(StartAt(from) - 1, to);
    if (host_) host_->UpdateScrollRanges();
}

void RIzuvAzazModel::RelayoutAll(bool fresh) {
    widest_ = 0;
    widestParagraph_ = -1;
    const std::int32_t count = ParagraphCount();
    for (std::int32_t i = 0; i < count && !fresh; ++i)
        ParagraphAt(i)->laidOut = 0;
    layoutFrom_ = 0;
    layoutTo_ = count - 1;
    if (updateCount_ > 0 || !host_) return;
    switch (updateMode_) {
    case umImmediate:
        LayoutRange(0, count - 1, true);
        layoutFrom_ = count;
        layoutTo_ = -1;
        break;
    case umBackground:
        if (!jobPending_) {
            jobPending_ = true;
            host_->PostBackgroundSlice();
        }
        break;
    case umOnNeed:
        break;
    }
}

void RIzuvAzazModel::BackgroundSlice() {
    if (updateCount_ > 0) return;
    jobPending_ = true;
    const auto began = Clock::now();
    const auto deadline = began + kSliceBudget;
    auto& lastReport = lastSliceReport_;
    const std::int32_t count = ParagraphCount();
    const std::int32_t top = host_ ? topLine_.LineNumber() : 0;
    const std::int32_t visible =
        host_ && device_ ? host_->ClientHeight() / std::max(1, device_->LineHeight()) + 1 : 0;
    std::int32_t i = std::max(layoutFrom_, 0);
    const std::int32_t sliceFrom = i;
    bool firstInBatch = true;
    while (i <= layoutTo_ && i < count) {
        if (Clock::now() >= deadline) break;
        const auto now = Clock::now();
        if (now - lastReport >= kProgressInterval) {
            lastReport = now;
            FireProgress(std::min<std::int32_t>(
                99, static_cast<std::int32_t>(static_cast<std::int64_t>(i) * 100 / count)));
        }
        if (!ParagraphAt(i)->laidOut) {
            ScanStartStopUpTo(i);
            const std::int32_t linesBefore = ParagraphAt(i)->lineCount;
            LayoutParagraph(i, 0, true, firstInBatch);
            firstInBatch = false;
            const std::int32_t line = FirstLineAt(i);
            const std::int32_t lines = ParagraphAt(i)->lineCount;
            // A paragraph that got more or fewer lines moves every line below it.
            if (host_ && line + lines > top && line <= top + visible)
                host_->InvalidateLines(line, lines != linesBefore ? -1 : line + lines - 1);
        }
        ++i;
        // A changed start/stop state rolls on to the following paragraphs.
        if (i > layoutTo_ && i < count && !ParagraphAt(i)->startStopScanned) layoutTo_ = i;
    }
    layoutFrom_ = i;
    if (sliceFrom < i) InvalidateLineCaches(StartAt(sliceFrom) - 1, i - 1);
    if (host_) {
        host_->UpdateScrollRanges();
        host_->UpdateCaret();
    }
    if (i > layoutTo_ || i >= count) {
        jobPending_ = false;
        layoutFrom_ = count;
        layoutTo_ = -1;
        FireProgress(100);
    } else if (host_) {
        host_->PostBackgroundSlice();
    }
}

void RIzuvAzazModel::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0) RefreshAfterChanges();
}

void RIzuvAzazModel::NoteChange(std::int32_t firstLine, std::int32_t firstParagraph,
                                std::int32_t lastParagraph) {
    if (changedLast_ < 0) {
        changedLine_ = firstLine;
        changedFirst_ = firstParagraph;
        changedLast_ = lastParagraph;
        // lineDelta_ is not reset here: the splice that opens the range has
        // already added its own line change to it.
    } else {
        changedLine_ = std::min(changedLine_, firstLine);
        changedFirst_ = std::min(changedFirst_, firstParagraph);
        changedLast_ = std::max(changedLast_, lastParagraph);
    }
}

// The static style runs on across paragraph ends. An edit keeps it in
// balance, but the steps of one undo group replay recorded text exactly, and
// a paragraph made between them starts with the style of that moment: once
// the text is complete, every following paragraph whose start style is no
// longer what the text before it makes is set right and laid out again.
// Returns the last paragraph that changed, at least `last`.
std::int32_t RIzuvAzazModel::CarryStaticStyle(std::int32_t first, std::int32_t last) {
    if (!staticFormat_ || !carryStyle_) return last;
    bool linesStale = false; // the paragraph before got a new start style
    for (std::int32_t j = first + 1; j < ParagraphCount(); ++j) {
        const ParagraphInfo* before = ParagraphAt(j - 1);
        std::uint8_t style;
        if (linesStale) {
            style = before->line0.style;
            for (std::int32_t k = 0; k < before->length; ++k)
                style ^= StyleBitOfCode(static_cast<unsigned char>(before->text[k]));
        } else {
            style = StyleAt(j - 1, before->length);
        }
        ParagraphInfo* q = ParagraphAt(j);
        linesStale = q->line0.style != style;
        if (linesStale) {
            q->line0.style = style;
            q->laidOut = 0;
            last = std::max(last, j);
        } else if (j > last) {
            break;
        }
    }
    return last;
}

void RIzuvAzazModel::RefreshAfterChanges() {
    if (changedLine_ < 0 || changedLast_ < 0) return;
    const std::int32_t count = ParagraphCount();
    const std::int32_t p = std::clamp(changedFirst_, 0, count - 1);
    std::int32_t last = std::clamp(changedLast_, p, count - 1);
    const std::int32_t linesBefore = LineCount() - lineDelta_;
    const bool inPlace = editInPlace_ && last == p;

    if (!inPlace) ScanStartStopUpTo(p);
    LayoutParagraph(p, std::max(0, changedLine_ - FirstLineAt(p)), !inPlace, true, dirtyLine_);
    // Re-wrapping starts a line early (a word may move back up), so that
    // line may have changed too.
    const std::int32_t firstChanged = std::min(changedLine_, firstRebuiltLine_);
    std::int32_t lastLine = FirstLineAt(p) + ParagraphAt(p)->lineCount - 1;
    last = CarryStaticStyle(p, last);
    if (p + 1 <= last) {
        layoutFrom_ = std::min(layoutFrom_, p + 1);
        layoutTo_ = std::max(layoutTo_, last);
    }
    std::int32_t top = 0, visible = 0;
    if (host_ && device_) {
        top = topLine_.LineNumber();
        visible = host_->ClientHeight() / std::max(1, device_->LineHeight()) + 1;
    }
    const std::int32_t visibleEnd = top + visible;
    while (last + 1 < count && FirstLineAt(last + 1) <= visibleEnd &&
           !ParagraphAt(last + 1)->startStopScanned) {
        ScanStartStopUpTo(last + 1);
        ++last;
    }
    // Lines only grow downwards, so past the first paragraph below the view
    // none is shown; the rest is left to the background. Looking up a line
    // number after many edits in one bracket is not cheap, so it is done
    // once for the last paragraph instead of for every one in between.
    // Above the view nothing shows either: a paragraph there that an edit
    // changed was marked for layout and is in the background's range (a
    // replace-all that ends at the foot of a long text would otherwise lay
    // out all of it here).
    const std::int32_t topParagraph = host_ && device_ ? topLine_.ParagraphIndex() : 0;
    for (std::int32_t j = p + 1; j <= last; ++j) {
        if (updateMode_ != umImmediate && j < topParagraph) j = topParagraph;
        if (j > last) break;
        if (updateMode_ != umImmediate && FirstLineAt(j) > visibleEnd) break;
        ScanStartStopUpTo(j);
        LayoutParagraph(j, 0, true, false);
    }
    if (last > p) lastLine = FirstLineAt(last) + ParagraphAt(last)->lineCount - 1;
    InvalidateLineCaches(StartAt(p) - 1, last);

    if (host_) {
        const std::int32_t delta = LineCount() - linesBefore;
        if (delta) host_->LinesShifted(changedLine_, delta);
        if (!wordWrap_ && widestParagraph_ < 0) {
            for (std::int32_t i = 0; i < count; ++i) {
                TLinesList view(ParagraphAt(i));
                for (std::int32_t k = 0; k < view.Count(); ++k)
                    TrackWidest(*view.At(k), i);
            }
        }
        host_->UpdateScrollRanges();
        host_->InvalidateLines(firstChanged, delta ? -1 : lastLine);
        if (updateMode_ == umImmediate)
            FinishLayoutRange();
        else if (updateMode_ == umBackground && !jobPending_ && layoutTo_ >= 0)
            BackgroundSlice();
        host_->UpdateCaret();
    } else if (updateMode_ == umImmediate) {
        FinishLayoutRange();
    }
    changedLine_ = -1;
    changedFirst_ = -1;
    changedLast_ = -1;
    lineDelta_ = 0;
    editInPlace_ = false;
    carryStyle_ = false;
    if (OnChange) OnChange();
}

} // namespace lorvane
