#pragma once
// A TextDevice where every byte is one cell wide: deterministic layout for
// tests and benchmarks, with no toolkit underneath.
#include "editor/model/TextDevice.h"

#include <vector>

namespace lorvane {

class FixedCellDevice : public TextDevice {
public:
    explicit FixedCellDevice(int cellWidth = 8, int lineHeight = 16)
        : cell_(cellWidth), lineHeight_(lineHeight) {}

    void SelectFont(std::uint8_t style) override { selected.push_back(style); }
    int TextWidth(const char*, std::int32_t length) override {
        measured += length;
        return cell_ * length;
    }
    void CharWidths(const char*, std::int32_t length, int* widths) override {
        measured += length;
        for (std::int32_t i = 0; i < length; ++i)
            widths[i] = cell_;
    }
    int AverageCharWidth() override { return cell_; }
    int LineHeight() override { return lineHeight_; }
    int Ascent() override { return lineHeight_ * 3 / 4; }

    std::vector<std::uint8_t> selected; // every font selection, in order
    std::int64_t measured = 0;          // bytes measured so far

private:
    int cell_;
    int lineHeight_;
};

} // namespace lorvane
