#pragma once
// A model with the highlighting passes attached, a small assembler-like
// vocabulary, and a compact picture of a paragraph's highlighting.
#include "editor/model/ModelFixture.h"
#include "editor/highlight/HighlightPass.h"

#include <memory>
#include <string>

namespace lorvane::test {

// A highlighter whose ranges run from "[" to "]" and nest; its states have
// context number 0, so keywords show inside them.
class BracketHighlighter : public THighlighter {
public:
    static constexpr std::uint16_t kIndex = 1000;

    bool StartHook(TNavigator& from, TNavigator& to, int) override {
        for (std::int32_t pos = from.Position(); pos < to.Position(); ++pos) {
            from.SetPosition(pos);
            if (from.CharAt() != '[') continue;
            AttrInfo s = from.CurrentState();
            const int level = TNavigator::StartStopLevel(s) + 1;
            s.flags = 0xC0 | 0x02;
            s.level = static_cast<std::int8_t>(level);
            s.stack[level] = kIndex;
            s.context = 0;
            s.color1 = 0x77;
            s.openLength = 1;
            s.closeLength = 1;
            from.InsertEntry(s);
            return true;
        }
        return false;
    }
    bool StopHook(TNavigator& from, TNavigator& to, int) override {
        for (std::int32_t pos = from.Position(); pos < to.Position(); ++pos) {
            from.SetPosition(pos);
            if (from.CharAt() != ']') continue;
            AttrInfo s = from.CurrentState();
            from.SetPosition(pos + 1);
            if (s.level == 0)
                s = AttrInfo{};
            else
                s.level = static_cast<std::int8_t>(s.level - 1);
            from.InsertEntry(s);
            return true;
        }
        return false;
    }
};

struct PassFixture : ModelFixture {
    explicit PassFixture(TUpdateMode mode = umImmediate) : ModelFixture(200, mode) {}

    // Keywords 0 .. 5 and start/stop entries a .. f as Marks shows them.
    void Vocabulary() {
        keywords.BeginUpdate();
        keywords.Add("mov", AttributeHead{kWholeWords, 0x01, 1, 11, 0x10, 0x20});
        keywords.Add("ax", AttributeHead{kWholeWords, 0, 2, 0, 0, 0});
        keywords.Add("push", AttributeHead{kMatchCase, 0, 3, 0, 0, 0});
        keywords.Add("ab", AttributeHead{0, 0, 4, 0, 0, 0});
        keywords.Add("abc", AttributeHead{0, 0, 5, 0, 0, 0});
        keywords.Add("int", AttributeHead{0, 0, 0, 0, 0, 0});
        keywords.EndUpdate();
        keys.Add("/*", "*/", false, 0, 0x30, 0, 5, 0x02, 0);
        keys.Add(";", "", true, 0, 0x31, 0, 6, 0x02, 0);
        keys.Add("\"", "\"", true, 0, 0x32, 0, 7, 0, 0);
        keys.Add("{", "}", false, 0, 0x33, 0, 0, 0, 0);
        keys.Add("<", ">", false, 0, 0x34, 0, 8, 0, 0);
        keys.Add("<", "]", false, 0, 0x35, 0, 9, 0, 0);
    }

    // One character per byte: '.' plain, 'a' + entry inside an own range,
    // '0' + keyword, 'H' a highlighter range, '#' a highlight of the application.
    std::string Marks(std::int32_t paragraph) {
        const ParagraphInfo& p = *model.ParagraphAt(paragraph);
        std::string out;
        for (std::int32_t c = 0; c < p.length; ++c) {
            const AttrInfo& s = StateAtOffset(p, c);
            if (!(s.flags & 0x80))
                out += '.';
            else if ((s.flags & 0xC0) != 0xC0)
                out += '#';
            else if (InOwnRange(s))
                out += static_cast<char>('a' + (s.stack[s.level] - kOwnKeyBase));
            else if (s.stack[s.level] >= BracketHighlighter::kIndex)
                out += 'H';
            else
                out += static_cast<char>('0' + s.stack[s.level]);
        }
        return out;
    }

    void Type(std::int32_t at, std::string_view text) {
        model.SetSelStart(at);
        model.Replace(text);
    }
    void Erase(std::int32_t at, std::int32_t length) {
        model.SetSelStart(at);
        model.SetSelLength(length);
        model.Replace({});
    }
    void PumpSlices() {
        for (int guard = 0; guard < 100000 && model.BackgroundJobPending(); ++guard)
            model.BackgroundSlice();
    }

    TKeywordList keywords;
    TStartStopKeyList keys;
    std::unique_ptr<THighlightPass> pass = std::make_unique<THighlightPass>(model, keywords, keys);
};

} // namespace lorvane::test
