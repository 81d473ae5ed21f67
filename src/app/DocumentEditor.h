#pragma once
// What a document window needs from its editor control. The window talks to
// the control only through this, so the frame's commands and the window's
// file handling do not depend on how the control is built, and tests can
// drive them with a plain stand-in.
#include "codepage/TextForm.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace lorvane {

class TStream;
class TSyntax;
struct TColourScheme;

class TDocumentEditor {
public:
    virtual ~TDocumentEditor() = default;

    // The control's own widget; the document window takes it as its body.
    virtual QWidget* Widget() = 0;

    // Text as Windows-1251 bytes, line breaks as the control keeps them.
    virtual std::string Text() = 0;
    virtual void SetText(std::string_view text) = 0;
    // SetText(Text() with every byte b made table[b]); a control may do it
    // in place. Only bytes from 0x80 up may change.
    virtual void ExchangeBytes(const std::array<unsigned char, 256>& table) {
        std::string text = Text();
        for (char& c : text)
            c = static_cast<char>(table[static_cast<unsigned char>(c)]);
        SetText(text);
    }
    // Every line rewritten by `convert` (it appends the new bytes of one
    // line, never a break, to `out`), in place and as one undo step; lines
    // that come out the same stay untouched.
    virtual void ConvertLines(void (*convert)(std::string_view line, std::string& out)) = 0;
    virtual std::int32_t TextLength() = 0;
    // The display-line view: its line count, loading and saving whole files.
    virtual std::int32_t LineCount() = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // The line break SaveToStream writes between lines (loading reads any).
    virtual TBreakStyle LineBreak() const = 0;
    virtual void SetLineBreak(TBreakStyle style) = 0;

    virtual bool Modified() const = 0;
    virtual void SetModified(bool on) = 0;
    virtual bool CanUndo() const = 0;
    virtual bool CanRedo() const = 0;
    virtual bool HasSelection() = 0;
    virtual bool ReadOnly() const = 0;
    virtual void SetReadOnly(bool on) = 0;

    // Display line and column of the caret, both from 0.
    virtual std::int32_t CaretLine() = 0;
    virtual std::int32_t CaretColumn() = 0;

    virtual LogicalFont Font() const = 0;
    virtual void SetFont(const LogicalFont& font) = 0;
    virtual TColor FontColor() const = 0;
    virtual void SetFontColor(TColor color) = 0;
    virtual TColor Color() const = 0;
    virtual void SetColor(TColor color) = 0;

    virtual bool HasFocus() const = 0;

    // ---- Build tools ----
    // Puts the caret on a display line and column (both from 0) and scrolls
    // it into view, as after reopening a compiled source.
    virtual void PutCaret(std::int32_t line, std::int32_t column) = 0;
    // Scrolls the caret into view where it stands. An editor that can do so
    // without numbering every display line before it should: after a
    // command at the foot of a long text that is the whole text.
    virtual void ScrollCaretIntoView() {
        const std::int32_t at = SelStart();
        PutCaret(CaretLine(), CaretColumn());
        SetSelStart(at);
    }
    // Lines of the file (paragraphs, whatever the wrapping), from 0.
    virtual std::int32_t ParagraphCount() = 0;
    virtual std::int32_t CaretParagraph() = 0;
    virtual std::string ParagraphText(std::int32_t index) = 0;
    // The caret to the start of paragraph `index` (kept inside the text),
    // no selection, and its line scrolled into view.
    virtual void GoToParagraph(std::int32_t index) = 0;
    // ---- Text commands ----
    virtual void CutToClipboard() = 0;
    virtual void CopyToClipboard() = 0;
    virtual void PasteFromClipboard() = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void SelectAll() = 0;
    // Display line `index` of the line view, replaced or deleted in place;
    // indexes outside the view read as empty and change nothing.
    virtual std::string LineText(std::int32_t index) = 0;
    virtual void SetLineText(std::int32_t index, std::string_view text) = 0;
    virtual void DeleteLine(std::int32_t index) = 0;
    // Every display line of the view, in order: what LineText gives for
    // each index, read in one pass.
    virtual std::vector<std::string> DisplayLines() = 0;
    // Nothing is painted between the two; they nest.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual void ToggleBold() = 0;
    virtual void ToggleItalic() = 0;
    virtual void ToggleUnderline() = 0;
    // The style at the caret: fsBold, fsItalic and fsUnderline bits.
    virtual unsigned CaretStyle() = 0;
    // Auto-indent and back-indent together, the rest of the options as a
    // document window keeps them.
    virtual bool AutoIndent() const = 0;
    virtual void SetAutoIndent(bool on) = 0;
    // Selects the match and brings it into view; false leaves the
    // selection as it was. Forward searches start at the caret.
    virtual bool FindText(std::string_view text, bool forward, bool matchCase, bool wholeWord) = 0;
    virtual std::string SelText() = 0;
    // Replaces the selection; the caret ends after the new text.
    virtual void SetSelText(std::string_view text) = 0;
    // The caret position, and the selection as a signed length from it.
    virtual std::int32_t SelStart() = 0;
    virtual std::int32_t SelLength() = 0;
    virtual void SetSelStart(std::int32_t position) = 0;
    // Selects `length` bytes from the caret (backwards when negative).
    virtual void SetSelLength(std::int32_t length) = 0;

    // ---- Highlighting ----
    // Colours the text by `syntax` (null: all in the font colour), in the
    // scheme made for the editor's background with `userColours` over it;
    // the background changing later changes the scheme with it.
    virtual void SetHighlighting(std::shared_ptr<const TSyntax> /*syntax*/,
                                 const TColourScheme& /*userColours*/) {}

    // Called with every typed character (a Windows-1251 byte) before the
    // control inserts it; the handler may replace the byte.
    std::function<void(unsigned char& key)> OnKeyPress;
    // Called after the control has handled a double click.
    std::function<void()> OnDoubleClick;
};

} // namespace lorvane
