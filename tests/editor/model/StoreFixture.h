#pragma once
// A bare text store filled paragraph by paragraph, for the tests of the
// store and the navigators (below the model's loaders).
#include "editor/model/TextStore.h"

#include <string>
#include <vector>

namespace lorvane::test {

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
