#pragma once
// Turns a vocabulary into what the editor control highlights with: its own
// keyword list and start/stop keys, and, for languages whose ranges need
// more (an escape character inside strings, a key that counts only at the
// start of a line), a highlighter that finds those ranges itself.
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/StartStopList.h"
#include "syntax/ColourScheme.h"
#include "syntax/Syntax.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace lorvane {

// The highlighter's ranges never nest: inside one, nothing opens, so a
// comment key in a string stays part of the string.
class TSyntaxHighlighter final : public THighlighter {
public:
    TSyntaxHighlighter(const std::vector<TSyntaxRange>& ranges, const TColourScheme& scheme,
                       bool matchCase);

    bool StartHook(TNavigator& from, TNavigator& to, int startStopCount) override;
    bool StopHook(TNavigator& from, TNavigator& to, int startStopCount) override;

private:
    struct Range {
        TSyntaxRange range;
        AttributeHead head;
    };

    bool KeyAt(const char* text, std::int32_t length, std::int32_t at,
               const std::string& key) const noexcept;

    std::vector<Range> ranges_;
    bool matchCase_;
    std::array<bool, 256> startByte_{};
};

// The attributes a piece of `role` gets: its colour, no background, and a
// context number that keeps keywords out of comments and strings.
AttributeHead RoleHead(TTokenRole role, const TColourScheme& scheme, std::uint8_t options);

// Replaces the control's lists with `syntax` in `scheme`'s colours. When a
// range needs the highlighter, every range goes to the returned one (the
// control's own keys would otherwise open inside its strings); else it is
// null and the control's own keys do all.
std::unique_ptr<TSyntaxHighlighter> BuildHighlighting(const TSyntax& syntax,
                                                      const TColourScheme& scheme,
                                                      TKeywordList& keywords,
                                                      TStartStopKeyList& keys);

} // namespace lorvane
