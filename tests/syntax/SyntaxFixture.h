#pragma once
// A model with the highlighting passes and a shipped vocabulary attached,
// in a scheme whose colours name the roles, and a picture of a paragraph's
// colours: one letter a character.
#include "editor/model/FixedCellDevice.h"
#include "editor/highlight/HighlightPass.h"
#include "editor/model/RIzuvAzazModel.h"
#include "editor/model/RecordingHost.h"
#include "platform/Paths.h"
#include "syntax/SyntaxCatalog.h"
#include "syntax/SyntaxHighlighter.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace lorvane::test {

// Role i is drawn in colour i + 1.
inline TColourScheme RoleNumberScheme() {
    TColourScheme s;
    for (std::size_t i = 0; i < kTokenRoleCount; ++i)
        s.colours[i] = static_cast<TColor>(i + 1);
    return s;
}

inline std::shared_ptr<const TSyntax> Shipped(std::string_view extension) {
    static const TSyntaxCatalog catalog =
        TSyntaxCatalog::Load({paths::Join(paths::DataDirectory(), "highlight")});
    auto syntax = catalog.ForExtension(extension);
    if (!syntax) throw std::runtime_error("no shipped language for " + std::string(extension));
    return syntax;
}

struct SyntaxFixture {
    explicit SyntaxFixture(std::string_view extension, TUpdateMode mode = umImmediate)
        : host(16 + 8 * 60, 160) {
        model.SetUpdateMode(mode);
        model.SetDevice(&device);
        model.SetHost(&host);
        const auto syntax = Shipped(extension);
        highlighter = BuildHighlighting(*syntax, RoleNumberScheme(), keywords, keys);
        pass->SetHighlightSeparators(syntax->Separators());
        pass->SetHighlighter(highlighter.get());
        pass->ResetHighlighting();
    }

    // '.' plain, else the role's first letter: c s k t r d p; '!' where a
    // highlight brings a background of its own (roles colour the text only).
    std::string Marks(std::int32_t paragraph) {
        const ParagraphInfo& p = *model.ParagraphAt(paragraph);
        std::string out;
        for (std::int32_t c = 0; c < p.length; ++c) {
            const AttrInfo& s = StateAtOffset(p, c);
            const bool role = (s.flags & 0x80) && s.color1 >= 1 && s.color1 <= kTokenRoleCount;
            out += !role                ? '.'
                   : s.color2 != clNone ? '!'
                                        : RoleName(static_cast<TTokenRole>(s.color1 - 1)).front();
        }
        return out;
    }
    std::string AllMarks() {
        model.LayoutRange(0, model.ParagraphCount() - 1, false);
        std::string out;
        for (std::int32_t i = 0; i < model.ParagraphCount(); ++i)
            out += Marks(i) + "\n";
        return out;
    }

    FixedCellDevice device;
    RecordingHost host;
    RIzuvAzazModel model;
    TKeywordList keywords;
    TStartStopKeyList keys;
    std::unique_ptr<TSyntaxHighlighter> highlighter;
    std::unique_ptr<THighlightPass> pass = std::make_unique<THighlightPass>(model, keywords, keys);
};

} // namespace lorvane::test
