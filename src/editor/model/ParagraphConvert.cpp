// A rewrite of every paragraph at once (tabs to spaces and back): the
// paragraphs that change get their new bytes where they lie, the others are
// not touched, and one undo record takes the whole change back.
#include "editor/model/ErrorTexts.h"
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace lorvane {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(50);

struct NewBytes {
    std::int32_t index;
    std::int32_t length;
    char* text; // in the arena or a buffer of its own; nil when empty
};

} // namespace

bool RIzuvAzazModel::ConvertParagraphs(ParagraphConverter convert) {
    const std::int32_t count = ParagraphCount();
    // First the new bytes are made beside the text, which stays as it is:
    // progress may let the window repaint meanwhile, so nothing may be half
    // changed. The update bracket keeps the control from laying out.
    ++updateCount_;
    std::vector<NewBytes> changed;
    // The old text from the first to the last changed paragraph, for undo;
    // a text beyond the undo list's space would only be thrown away with
    // every record (as a record that big is), so it is not gathered.
    std::string removed;
    std::size_t removedEnd = 0, removedSize = 0;
    const auto undoSpace = static_cast<std::size_t>(std::max(UndoMaxSpace(), 0));
    std::string out;
    auto lastReport = Clock::now();
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            const ParagraphInfo* p = ParagraphAt(i);
            const std::string_view old(p->text ? p->text : "", static_cast<std::size_t>(p->length));
            out.clear();
            convert(old, out);
            if (out != old) {
                if (out.size() > static_cast<std::size_t>(kMaxParagraphLength))
                    throw Error(texts::kTextTooLong);
                char* bytes = nullptr;
                if (!out.empty()) {
                    bytes = Arena().Allocate(out.size() + 1);
                    if (!bytes) bytes = AllocateTextBuffer(out.size() + 1);
                    std::memcpy(bytes, out.data(), out.size());
                    bytes[out.size()] = 0;
                }
                changed.push_back({i, static_cast<std::int32_t>(out.size()), bytes});
            }
            if (!changed.empty()) {
                const bool firstChanged = changed.front().index == i;
                removedSize += old.size() + (firstChanged ? 0 : 2);
                if (removedSize <= undoSpace) {
                    if (!firstChanged) removed += "\r\n";
                    removed += old;
                }
                if (changed.back().index == i) removedEnd = removedSize;
            }
            if ((i & 4095) == 0 && Clock::now() - lastReport >= kProgressInterval) {
                lastReport = Clock::now();
                FireProgress(static_cast<std::int32_t>(static_cast<std::int64_t>(i) * 90 / count));
            }
        }
    } catch (...) {
        for (const NewBytes& n : changed)
            FreeTextBuffer(Arena(), n.text);
        --updateCount_;
        throw;
    }
    if (changed.empty()) {
        --updateCount_;
        return false;
    }
    const bool undoable = removedEnd <= removed.size();
    if (undoable) removed.resize(removedEnd);

    // Where each navigator stood: in a paragraph that changed it goes to its
    // start, elsewhere it keeps its place in its paragraph.
    struct Place {
        TNavigator* navigator;
        std::int32_t index;
        std::int32_t offset;
    };
    std::vector<Place> places;
    for (TNavigator* n : navigators_) {
        const std::int32_t index = FindParagraph(n->position_);
        places.push_back({n, index, n->position_ - StartAt(index)});
    }

    const std::int32_t first = changed.front().index, last = changed.back().index;
    const std::int32_t s = StartAt(first);
    const std::int32_t oldLineCount = LineCount();
    for (const NewBytes& n : changed) {
        ParagraphInfo* p = ParagraphAt(n.index);
        FreeLinesAndEntries(*p);
        FreeTextBuffer(Arena(), p->text);
        p->text = n.text;
        p->length = n.length;
        ResetToOneLine(*p);
        p->startStopScanned = 0;
        p->keywordsApplied = 0;
    }
    // Starts and first lines from the first change on, in one walk.
    SettleShifts();
    std::int32_t start = s, line = FirstLineAt(first);
    for (std::int32_t i = first; i < count; ++i) {
        ParagraphInfo* p = ParagraphAt(i);
        p->start = start;
        p->firstLine = line;
        start += p->length + 2;
        line += p->lineCount;
    }
    textLength_ = start - 2;
    lineCount_ = line;
    const std::int32_t newEnd = StartAt(last) + ParagraphAt(last)->length;

    for (const Place& place : places) {
        TNavigator* n = place.navigator;
        // The changed paragraphs are in index order.
        const auto at =
            std::lower_bound(changed.begin(), changed.end(), place.index,
                             [](const NewBytes& c, std::int32_t index) { return c.index < index; });
        const bool moved = at != changed.end() && at->index == place.index;
        n->Invalidate();
        n->position_ = StartAt(place.index) + (moved ? 0 : place.offset);
    }
    selStop_.Assign(selStart_);
    caretAtStop_ = false;
    selLength_ = 0;

    undo_.DropRedo();
    if (undoable)
        undo_.Record(s, newEnd - s, std::move(removed), -1, false);
    else
        undo_.Clear();
    undo_.groupEnded = true;
    modified_ = true;
    if (startStopFrontier_ >= first) startStopFrontier_ = first - 1;
    if (OnParse) OnParse(s, newEnd);
    --updateCount_;
    RefreshWholeText(oldLineCount);
    if (updateCount_ == 0 && host_) host_->ScrollCaretIntoView();
    return true;
}

} // namespace lorvane
