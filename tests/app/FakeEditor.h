#pragma once
// A stand-in editor for the frame and document-window tests: the text is a
// byte string, lines are split at CR LF, and every property the window
// reads can be set directly.
#include "app/DocumentEditor.h"
#include "platform/Stream.h"

#include <QWidget>

#include <algorithm>
#include <memory>

namespace lorvane::test {

class FakeEditor final : public TDocumentEditor {
public:
    FakeEditor() : widget_(std::make_unique<QWidget>().release()) {}

    QWidget* Widget() override { return widget_; }
    std::string Text() override { return text_; }
    void SetText(std::string_view text) override {
        text_ = text;
        modified_ = true;
    }
    std::int32_t TextLength() override { return static_cast<std::int32_t>(text_.size()); }
    std::int32_t LineCount() override {
        std::int32_t lines = 1;
        for (std::size_t at = text_.find("\r\n"); at != std::string::npos;
             at = text_.find("\r\n", at + 2))
            ++lines;
        return lines;
    }
    void LoadFromStream(TStream& stream) override {
        text_.assign(static_cast<std::size_t>(stream.Size()), '\0');
        if (!text_.empty()) stream.ReadBuffer(text_.data(), stream.Size());
        modified_ = true; // as a control does: the caller clears it
    }
    void SaveToStream(TStream& stream) override {
        if (failSaves) throw std::runtime_error("disk full");
        // Lines end in CR LF here; another style is written as the control
        // writes it.
        std::string out = text_;
        if (lineBreak_ != TBreakStyle::CRLF) {
            out.clear();
            for (std::size_t at = 0; at < text_.size(); ++at) {
                if (text_.compare(at, 2, "\r\n") == 0) {
                    out += BreakBytes(lineBreak_);
                    ++at;
                } else {
                    out += text_[at];
                }
            }
        }
        stream.WriteBuffer(out.data(), static_cast<std::int64_t>(out.size()));
    }
    TBreakStyle LineBreak() const override { return lineBreak_; }
    void SetLineBreak(TBreakStyle style) override { lineBreak_ = style; }
    bool Modified() const override { return modified_; }
    void SetModified(bool on) override { modified_ = on; }
    bool CanUndo() const override { return canUndo; }
    bool CanRedo() const override { return false; }
    bool HasSelection() override { return selection; }
    bool ReadOnly() const override { return readOnly_; }
    void SetReadOnly(bool on) override { readOnly_ = on; }
    std::int32_t CaretLine() override { return caretLine; }
    std::int32_t CaretColumn() override { return caretColumn; }
    LogicalFont Font() const override { return font_; }
    void SetFont(const LogicalFont& font) override { font_ = font; }
    TColor FontColor() const override { return fontColor_; }
    void SetFontColor(TColor color) override { fontColor_ = color; }
    TColor Color() const override { return color_; }
    void SetColor(TColor color) override { color_ = color; }
    bool HasFocus() const override { return focus; }

    // ---- Build tools ----
    void PutCaret(std::int32_t line, std::int32_t column) override {
        caretLine = line;
        caretColumn = column;
        ++caretPuts;
    }
    int caretPuts = 0;
    std::int32_t ParagraphCount() override { return LineCount(); }
    std::int32_t CaretParagraph() override { return caretParagraph; }
    std::string ParagraphText(std::int32_t index) override {
        std::size_t start = 0;
        for (std::int32_t i = 0; i < index && start != std::string::npos; ++i) {
            start = text_.find("\r\n", start);
            if (start != std::string::npos) start += 2;
        }
        if (index < 0 || start == std::string::npos) return {};
        return text_.substr(start, text_.find("\r\n", start) - start);
    }
    void GoToParagraph(std::int32_t index) override {
        caretParagraph = std::clamp(index, 0, ParagraphCount() - 1);
    }
    std::int32_t caretParagraph = 0;
    // ---- Text commands ----
    // Only what the frame's tests of these commands read: the rest is inert.
    void CutToClipboard() override {}
    void CopyToClipboard() override {}
    void PasteFromClipboard() override {}
    void Undo() override {}
    void Redo() override {}
    void SelectAll() override {}
    std::string LineText(std::int32_t) override { return {}; }
    void SetLineText(std::int32_t, std::string_view) override {}
    void DeleteLine(std::int32_t) override {}
    std::vector<std::string> DisplayLines() override { return {}; }
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void ToggleBold() override {}
    void ToggleItalic() override {}
    void ToggleUnderline() override {}
    unsigned CaretStyle() override { return 0; }
    bool AutoIndent() const override { return true; }
    void SetAutoIndent(bool) override {}
    bool FindText(std::string_view, bool, bool, bool) override { return false; }
    std::string SelText() override { return {}; }
    void SetSelText(std::string_view) override {}
    std::int32_t SelStart() override { return 0; }
    std::int32_t SelLength() override { return 0; }
    void SetSelStart(std::int32_t) override {}
    void SetSelLength(std::int32_t) override {}

    // The user types one Windows-1251 byte: the window's handler first.
    void Type(unsigned char key) {
        if (OnKeyPress) OnKeyPress(key);
        text_.push_back(static_cast<char>(key));
        modified_ = true;
    }

    bool canUndo = false;
    bool selection = false;
    bool focus = true;
    bool failSaves = false;
    std::int32_t caretLine = 0;
    std::int32_t caretColumn = 0;

private:
    QWidget* widget_; // owned by the document window once placed in it
    std::string text_;
    bool modified_ = false;
    bool readOnly_ = false;
    TBreakStyle lineBreak_ = TBreakStyle::CRLF;
    LogicalFont font_;
    TColor fontColor_ = clBlack;
    TColor color_ = clWhite;
};

} // namespace lorvane::test
