#pragma once
// Walks one display line run by run, the way measuring, hit-testing and
// painting all need it: runs end at attribute entries, formatting codes,
// tabs, stretched (justified) blanks and the chunk length, and each run
// carries its x (from the line's text origin), width and effective style.
// Keeping the three users on one walker keeps the caret where the glyphs are.
#include "editor/highlight/HighlightPass.h"
#include "editor/view/RIzuvAzazFontDevice.h"
#include "editor/model/RIzuvAzazModel.h"

#include <algorithm>
#include <cstdint>

namespace lorvane {

struct TLineRun {
    enum Kind : std::uint8_t { Text, Tab, Stretch, Code };
    Kind kind = Text;
    std::int32_t from = 0; // offsets in the paragraph
    std::int32_t to = 0;
    int x = 0;
    int width = 0;
    std::uint8_t style = 0; // effective style (highlight and special-underline bits included)
    const AttrInfo* state = nullptr;
};

class TLineWalker {
public:
    // `stretch`: the line is justified (not the last of its paragraph) and
    // its blanks share `availableWidth` - the line's width.
    TLineWalker(ParagraphInfo& paragraph, const LineInfo& line, TFontDevice& device,
                bool staticFormat, int tabWidth, int chunk, bool stretch, int availableWidth)
        : p_(paragraph), device_(device), codes_(staticFormat), tabWidth_(std::max(1, tabWidth)),
          chunk_(std::max(1, chunk)), pos_(line.start), end_(line.end), style_(line.style),
          ai_(line.attrIndex) {
        ai_ = std::clamp(ai_, 0, p_.entryCount);
        static const AttrInfo none{};
        state_ = ai_ > 0 ? &p_.entries[ai_ - 1] : (p_.startContext ? p_.startContext : &none);
        if (stretch && line.blanks > 0 && availableWidth > line.width) {
            const int spare = availableWidth - line.width;
            extra_ = spare / line.blanks;
            remainder_ = spare % line.blanks;
            blanks_ = line.blanks;
            accumulator_ = remainder_ / 2;
            stretchFrom_ = line.justifyStart;
            stretchTo_ = line.start;
            for (std::int32_t k = line.end; k > line.start; --k)
                if (p_.text[k - 1] != ' ' && p_.text[k - 1] != '\t') {
                    stretchTo_ = k;
                    break;
                }
        }
        Select();
    }

    void SetLimit(std::int32_t end) noexcept { end_ = std::min(end_, end); }
    std::int32_t Position() const noexcept { return pos_; }
    int X() const noexcept { return x_; }
    std::uint8_t Style() const noexcept { return Effective(); }
    // Width of one character in the current font (for hit-testing).
    int CharWidth(std::int32_t k) {
        return device_.SelectedUsesTable()
                   ? device_.CharWidth(static_cast<unsigned char>(p_.text[k]))
                   : device_.TextWidth(p_.text + k, 1);
    }

    bool Next(TLineRun& run) {
        if (pos_ >= end_) return false;
        Enter(pos_);
        const auto c = static_cast<unsigned char>(p_.text[pos_]);
        run.from = pos_;
        run.x = x_;
        run.state = state_;
        run.style = Effective();
        if (codes_ && IsFormatCode(c)) {
            style_ ^= StyleBitOfCode(c);
            Select();
            run.kind = TLineRun::Code;
            run.width = 0;
            run.to = ++pos_;
            return true;
        }
        if (c == '\t') {
            run.kind = TLineRun::Tab;
            run.width = (x_ / tabWidth_ + 1) * tabWidth_ - x_;
        } else if (c == ' ' && Stretched(pos_)) {
            run.kind = TLineRun::Stretch;
            run.width = device_.TextWidth(p_.text + pos_, 1) + extra_;
            accumulator_ += remainder_;
            if (accumulator_ >= blanks_) {
                accumulator_ -= blanks_;
                ++run.width;
            }
        } else {
            std::int32_t j = pos_ + 1;
            std::int32_t stop = std::min(end_, pos_ + chunk_);
            if (ai_ < p_.entryCount)
                stop = std::min(stop, static_cast<std::int32_t>(p_.entries[ai_].offsetOrRefs));
            while (j < stop) {
                const auto d = static_cast<unsigned char>(p_.text[j]);
                if (d == '\t' || (codes_ && IsFormatCode(d)) || (d == ' ' && Stretched(j))) break;
                ++j;
            }
            run.kind = TLineRun::Text;
            run.width = device_.TextWidth(p_.text + pos_, j - pos_);
            run.to = j;
            pos_ = j;
            x_ += run.width;
            return true;
        }
        run.to = ++pos_;
        x_ += run.width;
        return true;
    }

private:
    std::uint8_t Effective() const noexcept {
        return EffectiveRunStyle(style_, *state_, device_.BaseStyle());
    }
    bool Stretched(std::int32_t k) const noexcept {
        return blanks_ > 0 && k >= stretchFrom_ && k < stretchTo_;
    }
    void Enter(std::int32_t k) {
        bool moved = false;
        while (ai_ < p_.entryCount &&
               static_cast<std::int32_t>(p_.entries[ai_].offsetOrRefs) <= k) {
            ++ai_;
            moved = true;
        }
        if (moved) {
            state_ = &p_.entries[ai_ - 1];
            Select();
        }
    }
    void Select() {
        // The highlight-colour bit does not change the face.
        const std::uint8_t face = Effective() & 0x2F;
        if (face != selected_) {
            device_.SelectFont(face);
            selected_ = face;
        }
    }

    ParagraphInfo& p_;
    TFontDevice& device_;
    bool codes_;
    int tabWidth_;
    int chunk_;
    std::int32_t pos_;
    std::int32_t end_;
    std::uint8_t style_;
    std::int32_t ai_;
    const AttrInfo* state_;
    int x_ = 0;
    int extra_ = 0;
    int remainder_ = 0;
    int blanks_ = 0;
    int accumulator_ = 0;
    std::int32_t stretchFrom_ = 0;
    std::int32_t stretchTo_ = 0;
    int selected_ = -1;
};

} // namespace lorvane
