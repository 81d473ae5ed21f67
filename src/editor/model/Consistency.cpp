// The from-scratch check behind Ctrl+E and the tests: every cached total of
// the store is recomputed and compared.
#include "editor/model/RIzuvAzazModel.h"
#include "platform/Error.h"

namespace lorvane {

void RIzuvAzazModel::CheckConsistency(const std::string& id) const {
    const std::int32_t count = ParagraphCount();
    if (count < 1) throw Error("Error 1");
    std::int64_t position = 0, line = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const ParagraphInfo* p = ParagraphAt(i);
        if (FirstLineAt(i) != line || StartAt(i) != position)
            throw Error("Error 2 in " + id + ": paragraph " + std::to_string(i));
        if (p->lineCount < 1 || (p->length > 0) != (p->text != nullptr) ||
            (p->text && p->text[p->length] != 0) || !p->startContext)
            throw Error("Error 3 in " + id + ": paragraph " + std::to_string(i));
        TLinesList view(const_cast<ParagraphInfo*>(p));
        std::int32_t expected = 0;
        for (std::int32_t k = 0; k < p->lineCount; ++k) {
            const LineInfo* l = view.At(k);
            if (l->start != expected || l->end < l->start)
                throw Error("Error 3 in " + id + ": paragraph " + std::to_string(i) + " line " +
                            std::to_string(k));
            expected = l->end;
        }
        if (expected != p->length)
            throw Error("Error 4 in " + id + ": paragraph " + std::to_string(i));
        std::int32_t previous = -1;
        for (std::int32_t k = 0; k < p->entryCount; ++k) {
            const auto off = static_cast<std::int32_t>(p->entries[k].offsetOrRefs);
            if (off < previous || off > p->length)
                throw Error("Error 4 in " + id + ": entries of paragraph " + std::to_string(i));
            previous = off;
        }
        position += p->length + 2;
        line += p->lineCount;
    }
    if (position - 2 != TextLength()) throw Error("Error 5 in " + id);
    if (line != LineCount()) throw Error("Error 6 in " + id);
    for (const TNavigator* n : NavigatorList()) {
        if (n->position_ < 0 || n->position_ > TextLength())
            throw Error("Error 5 in " + id + ": navigator outside the text");
        if (n->paragraph_) {
            if (n->index_ < 0 || n->index_ >= count || n->paragraph_ != ParagraphAt(n->index_) ||
                n->position_ < StartAt(n->index_) ||
                n->position_ > StartAt(n->index_) + n->paragraph_->length + 1)
                throw Error("Error 5 in " + id + ": navigator cache");
        }
    }
}

} // namespace lorvane
