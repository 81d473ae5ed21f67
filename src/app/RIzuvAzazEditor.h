#pragma once
// The document window's editor: the program's own editor control, with its
// keyboard and mouse handling, seen through the interface the window uses.
#include "app/DocumentEditor.h"
#include "syntax/ColourScheme.h"

#include <QPointer>

#include <memory>

namespace lorvane {

class RIzuvAzaz;
class TInputHandler;
class TSyntaxHighlighter;

class TRIzuvAzazEditor final : public TDocumentEditor {
public:
    TRIzuvAzazEditor();
    ~TRIzuvAzazEditor() override;

    RIzuvAzaz& Control() noexcept { return *control_; }

    QWidget* Widget() override;
    std::string Text() override;
    void SetText(std::string_view text) override;
    void ExchangeBytes(const std::array<unsigned char, 256>& table) override;
    void ConvertLines(void (*convert)(std::string_view, std::string&)) override;
    std::int32_t TextLength() override;
    std::int32_t LineCount() override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    TBreakStyle LineBreak() const override;
    void SetLineBreak(TBreakStyle style) override;
    bool Modified() const override;
    void SetModified(bool on) override;
    bool CanUndo() const override;
    bool CanRedo() const override;
    bool HasSelection() override;
    bool ReadOnly() const override;
    void SetReadOnly(bool on) override;
    std::int32_t CaretLine() override;
    std::int32_t CaretColumn() override;
    LogicalFont Font() const override;
    void SetFont(const LogicalFont& font) override;
    TColor FontColor() const override;
    void SetFontColor(TColor color) override;
    TColor Color() const override;
    void SetColor(TColor color) override;
    bool HasFocus() const override;

    // ---- Build tools ----
    void PutCaret(std::int32_t line, std::int32_t column) override;
    void ScrollCaretIntoView() override;
    std::int32_t ParagraphCount() override;
    std::int32_t CaretParagraph() override;
    std::string ParagraphText(std::int32_t index) override;
    void GoToParagraph(std::int32_t index) override;
    // ---- Text commands ----
    void CutToClipboard() override;
    void CopyToClipboard() override;
    void PasteFromClipboard() override;
    void Undo() override;
    void Redo() override;
    void SelectAll() override;
    std::string LineText(std::int32_t index) override;
    void SetLineText(std::int32_t index, std::string_view text) override;
    void DeleteLine(std::int32_t index) override;
    std::vector<std::string> DisplayLines() override;
    void BeginUpdate() override;
    void EndUpdate() override;
    void ToggleBold() override;
    void ToggleItalic() override;
    void ToggleUnderline() override;
    unsigned CaretStyle() override;
    bool AutoIndent() const override;
    void SetAutoIndent(bool on) override;
    bool FindText(std::string_view text, bool forward, bool matchCase, bool wholeWord) override;
    std::string SelText() override;
    void SetSelText(std::string_view text) override;
    std::int32_t SelStart() override;
    std::int32_t SelLength() override;
    void SetSelStart(std::int32_t position) override;
    void SetSelLength(std::int32_t length) override;
    // ---- Highlighting ----
    void SetHighlighting(std::shared_ptr<const TSyntax> syntax,
                         const TColourScheme& userColours) override;

private:
    void ApplyHighlighting();

    // The control belongs to the document window once placed in it; the
    // input handler is its child and goes with it.
    QPointer<RIzuvAzaz> control_;
    std::shared_ptr<const TSyntax> syntax_;
    TColourScheme userColours_;
    // The control refers to it; it goes after the control has let go.
    std::unique_ptr<TSyntaxHighlighter> highlighter_;
};

} // namespace lorvane
