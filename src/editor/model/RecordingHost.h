#pragma once
// A TEditorHost that records what the model asks of the window; background
// slices are counted and run only when the test (or benchmark) pumps them.
#include "editor/model/EditorHost.h"

#include <utility>
#include <vector>

namespace lorvane {

class RecordingHost : public TEditorHost {
public:
    explicit RecordingHost(int width = 800, int height = 480) : width_(width), height_(height) {}

    int ClientWidth() const override { return width_; }
    int ClientHeight() const override { return height_; }
    void InvalidateLines(std::int32_t first, std::int32_t last) override {
        invalidated.emplace_back(first, last);
    }
    void LinesShifted(std::int32_t, std::int32_t delta) override { shifted += delta; }
    void UpdateScrollRanges() override { ++scrollUpdates; }
    void PostBackgroundSlice() override { ++postedSlices; }
    void UpdateCaret() override { ++caretUpdates; }
    void ScrollCaretIntoView() override { ++caretScrolls; }

    void SetSize(int width, int height) {
        width_ = width;
        height_ = height;
    }

    std::vector<std::pair<std::int32_t, std::int32_t>> invalidated;
    int shifted = 0;
    int scrollUpdates = 0;
    int postedSlices = 0;
    int caretUpdates = 0;
    int caretScrolls = 0;

private:
    int width_;
    int height_;
};

} // namespace lorvane
