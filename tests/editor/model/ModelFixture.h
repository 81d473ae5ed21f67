#pragma once
// A model wired to a fixed-cell device (8 pixels a byte) and a recording
// host, laying out immediately unless a test says otherwise; and a bare text
// store filled paragraph by paragraph, below the model's loaders.
#include "editor/model/FixedCellDevice.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/model/RecordingHost.h"

#include <algorithm>
#include <string>
#include <string_view>
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

// The paragraphs of a text whose breaks are all CR LF: start and length.
inline Spans ParagraphSpans(std::string_view text) {
    Spans out;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find("\r\n", start), text.size());
        out.emplace_back(static_cast<int>(start), static_cast<int>(end - start));
        if (end == text.size()) return out;
        start = end + 2;
    }
}

class FilledStore : public TTextStore {
public:
    void Fill(const std::vector<std::string>& paragraphs) {
        ClearStore();
        AttrInfo* context = NewStartContext(nullptr);
        for (const auto& s : paragraphs)
            AppendParagraph(s.data(), static_cast<std::int32_t>(s.size()), 0, context);
        ReleaseContext(context);
    }
    using TTextStore::InsertRecords;
    using TTextStore::RemoveRecords;
};

} // namespace lorvane::test
