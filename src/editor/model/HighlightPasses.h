#pragma once
// Where highlighting plugs into the text model. Layout, the background
// slices and Replace call these hooks; while none is attached the model
// only keeps the paragraph flags, and text carries no attribute entries.
#include <cstdint>

namespace lorvane {

class RIzuvAzazModel;

class THighlightPasses {
public:
    virtual ~THighlightPasses() = default;
    // Rebuilds the keyword highlights of one paragraph (before it is laid out).
    virtual void KeywordPass(RIzuvAzazModel& model, std::int32_t paragraph) = 0;
    // Brings the start/stop scan up to paragraph `index`.
    virtual void ScanStartStopUpTo(RIzuvAzazModel& model, std::int32_t index) = 0;
    // Re-runs both passes over [start, end) right after an edit, limited to
    // the first edited paragraph.
    virtual void RescanEdit(RIzuvAzazModel& model, std::int32_t start, std::int32_t end) = 0;
};

} // namespace lorvane
