#pragma once
// A stand-in editor for the frame and document-window tests: the text is a
// byte string, lines are split at CR LF, and every property the window
// reads can be set directly.
#include "app/DocumentEditor.h"
#include "platform/Stream.h"

#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>

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
        stream.WriteBuffer(text_.data(), static_cast<std::int64_t>(text_.size()));
    }
    bool Modified() const override { return modified_; }
    void SetModified(bool on) override { modified_ = on; }
    bool CanUndo() const override { return canUndo; }
    bool CanRedo() const override { return canRedo; }
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

    // ---- Text commands ----
    // Clipboard and undo calls are counted; lines are the CR LF pieces; the
    // search is a plain byte search that always matches case.
    void CutToClipboard() override { ++calls["cut"]; }
    void CopyToClipboard() override { ++calls["copy"]; }
    void PasteFromClipboard() override { ++calls["paste"]; }
    void Undo() override { ++calls["undo"]; }
    void Redo() override { ++calls["redo"]; }
    void SelectAll() override {
        selStart_ = 0;
        selLength_ = TextLength();
    }
    std::string LineText(std::int32_t index) override {
        const auto [from, to] = LineSpan(index);
        return from == std::string::npos ? std::string() : text_.substr(from, to - from);
    }
    void SetLineText(std::int32_t index, std::string_view text) override {
        const auto [from, to] = LineSpan(index);
        if (from == std::string::npos) return;
        text_.replace(from, to - from, text);
        modified_ = true;
    }
    void DeleteLine(std::int32_t index) override {
        auto [from, to] = LineSpan(index);
        if (from == std::string::npos) return;
        if (to < text_.size()) to += 2;
        text_.erase(from, to - from);
        modified_ = true;
    }
    void BeginUpdate() override { ++updateDepth; }
    void EndUpdate() override { --updateDepth; }
    void ToggleBold() override { caretStyle ^= fsBold; }
    void ToggleItalic() override { caretStyle ^= fsItalic; }
    void ToggleUnderline() override { caretStyle ^= fsUnderline; }
    unsigned CaretStyle() override { return caretStyle; }
    bool AutoIndent() const override { return autoIndent_; }
    void SetAutoIndent(bool on) override { autoIndent_ = on; }
    bool FindText(std::string_view what, bool forward, bool, bool) override {
        if (what.empty()) return false;
        const auto caret = static_cast<std::size_t>(selStart_);
        std::size_t at = std::string::npos;
        if (forward)
            at = text_.find(what, caret);
        else if (caret > 0)
            at = text_.rfind(what, caret - 1);
        if (at == std::string::npos) return false;
        const auto n = static_cast<std::int32_t>(what.size());
        selStart_ = static_cast<std::int32_t>(at) + (forward ? n : 0);
        selLength_ = forward ? -n : n;
        return true;
    }
    std::string SelText() override {
        const auto [from, to] = SelSpan();
        return text_.substr(from, to - from);
    }
    void SetSelText(std::string_view text) override {
        const auto [from, to] = SelSpan();
        text_.replace(from, to - from, text);
        selStart_ = static_cast<std::int32_t>(from + text.size());
        selLength_ = 0;
        modified_ = true;
    }
    std::int32_t SelStart() override { return selStart_; }
    std::int32_t SelLength() override { return selLength_; }
    void SetSelStart(std::int32_t position) override {
        selStart_ = position;
        selLength_ = 0;
    }

    // The user types one Windows-1251 byte: the window's handler first.
    void Type(unsigned char key) {
        if (OnKeyPress) OnKeyPress(key);
        text_.push_back(static_cast<char>(key));
        modified_ = true;
    }

    std::map<std::string, int> calls;
    int updateDepth = 0;
    unsigned caretStyle = 0;
    bool canUndo = false;
    bool canRedo = false;
    bool selection = false;
    bool focus = true;
    bool failSaves = false;
    std::int32_t caretLine = 0;
    std::int32_t caretColumn = 0;

private:
    // Start and end of line `index` in the text, npos when there is none.
    std::pair<std::size_t, std::size_t> LineSpan(std::int32_t index) const {
        if (index < 0) return {std::string::npos, 0};
        std::size_t from = 0;
        for (std::int32_t i = 0; i < index; ++i) {
            from = text_.find("\r\n", from);
            if (from == std::string::npos) return {from, 0};
            from += 2;
        }
        const std::size_t to = text_.find("\r\n", from);
        return {from, to == std::string::npos ? text_.size() : to};
    }
    std::pair<std::size_t, std::size_t> SelSpan() const {
        const std::int32_t a = selStart_, b = selStart_ + selLength_;
        return {static_cast<std::size_t>(std::min(a, b)), static_cast<std::size_t>(std::max(a, b))};
    }

    QWidget* widget_; // owned by the document window once placed in it
    std::string text_;
    bool modified_ = false;
    bool readOnly_ = false;
    bool autoIndent_ = true;
    std::int32_t selStart_ = 0;
    std::int32_t selLength_ = 0;
    LogicalFont font_;
    TColor fontColor_ = clBlack;
    TColor color_ = clWhite;
};

} // namespace lorvane::test
