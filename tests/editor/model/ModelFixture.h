#pragma once
// A model wired to a fixed-cell device (8 pixels a byte) and a recording
// host, laying out immediately unless a test says otherwise.
#include "editor/model/FixedCellDevice.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/model/RecordingHost.h"

#include <string>
#include <utility>
#include <vector>

namespace lorvane::test {

struct ModelFixture {
    // Width for `columns` cells between the two default 8-pixel margins.
    explicit ModelFixture(int columns = 10, TUpdateMode mode = umImmediate)
        : host(16 + 8 * columns, 160) {
        model.SetUpdateMode(mode);
        model.SetDevice(&device);
        model.SetHost(&host);
        model.RelayoutAll();
    }

    std::vector<std::pair<int, int>> Lines(std::int32_t paragraph) {
        std::vector<std::pair<int, int>> out;
        TLinesList view(model.Paragraph(paragraph));
        for (int k = 0; k < view.Count(); ++k)
            out.emplace_back(view.At(k)->start, view.At(k)->end);
        return out;
    }

    FixedCellDevice device;
    RecordingHost host;
    RIzuvAzazModel model;
};

using Spans = std::vector<std::pair<int, int>>;

} // namespace lorvane::test
