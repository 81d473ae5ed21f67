#pragma once
// The keyboard, mouse and scrolling of one RIzuvAzaz on Qt: key events
// become virtual keys and Windows-1251 characters, mouse events become
// TMouse calls, the scroll bars' step actions and the wheel go through
// TScroller, and the auto-scroll loop runs on a timer with the same step
// delays. It attaches as an event filter, so the control needs no
// subclass to use it. Its navigators live in the control's model, so it
// must be destroyed before the control (hold it in a member declared
// after the control, or in the control itself).
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazKeyboard.h"
#include "editor/view/RIzuvAzazMouse.h"
#include "editor/view/RIzuvAzazScroll.h"

#include <QCursor>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>

class QKeyEvent;

namespace lorvane {

// Virtual key of a Qt key; keys that only type a character (and keys the
// control does not know) get a value above the handled range.
std::uint16_t VirtualKeyOf(int qtKey) noexcept;
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {}) noexcept;
// The copy-drag pointer, drawn here: an arrow with a small plus box.
QCursor DragCopyCursor();

class TInputHandler : public QObject, private TInputTarget {
public:
    explicit TInputHandler(RIzuvAzaz& control);
    ~TInputHandler() override;
    TInputHandler(const TInputHandler&) = delete;
    TInputHandler& operator=(const TInputHandler&) = delete;

    TKeyboard& Keyboard() noexcept { return keyboard_; }
    TMouse& Mouse() noexcept { return mouse_; }
    TScroller& Scroller() noexcept { return scroller_; }
    // The built-in context menu, made on first use.
    QMenu* ContextMenu() const noexcept { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // TInputTarget on the control.
    RIzuvAzazModel& Model() override { return c_.Model(); }
    bool ReadOnly() const override { return c_.ReadOnly(); }
    bool DisplayOnly() const override { return c_.DisplayOnly(); }
    bool EnableHotKeys() const override { return c_.EnableHotKeys(); }
    bool PassOverCodes() const override { return c_.PassOverCodes(); }
    bool Overwrite() const override { return c_.Overwrite(); }
    void SetOverwrite(bool on) override { c_.SetOverwrite(on); }
    void FireStyleChange() override {
        if (c_.OnStyleChange) c_.OnStyleChange();
    }
    std::int32_t VirtualSpaces() const override { return c_.VirtualSpaces(); }
    void SetVirtualSpaces(std::int32_t n) override { c_.SetVirtualSpaces(n); }
    std::int32_t RememberedX() const override { return c_.RememberedX(); }
    void SetRememberedX(std::int32_t x) override { c_.SetRememberedX(x); }
    bool BlockSelection() const override { return c_.BlockSelection(); }
    std::int32_t BlockLeft() const override { return blockFirst_; }
    std::int32_t BlockRight() const override { return c_.BlockRight(); }
    void SetBlockSelection(std::int32_t first, std::int32_t second) override {
        blockFirst_ = first;
        c_.SetBlockSelection(first, second);
    }
    void EndBlockSelection() override { c_.EndBlockSelection(); }
    int PosToX(ParagraphInfo* p, std::int32_t index, std::int32_t column, std::int32_t k) override {
        return c_.PosToX(p, index, column, k);
    }
    std::int32_t XToPos(ParagraphInfo* p, std::int32_t index, bool beyondTab, int x,
                        std::int32_t k) override {
        return c_.XToPos(p, index, beyondTab, x, k);
    }
    std::int32_t YToLine(int y) const override { return c_.YToLine(y); }
    int SpaceWidth() const override { return c_.SpaceWidth(); }
    int LineHeight() const override { return c_.CurrentLineHeight(); }
    int VisibleLines() const override { return c_.VisibleLines(); }
    int ClientWidth() const override;
    int ClientHeight() const override;
    int HorizontalOffset() const override { return c_.HorizontalOffset(); }
    int VerticalOffset() const override { return c_.VerticalOffset(); }
    int HorizontalScrollUnit() const override { return c_.HorizontalScrollUnit(); }
    int VerticalScrollUnit() const override { return c_.VerticalScrollUnit(); }
    int RightMargin() const override { return c_.RightMargin(); }
    void ScrollTo(int v, int h) override { c_.ScrollTo(v, h); }
    void SetSelText(std::string_view text) override { c_.SetSelText(text); }
    void CopyToClipboard() override { c_.CopyToClipboard(); }
    void CutToClipboard() override { c_.CutToClipboard(); }
    void PasteFromClipboard() override { c_.PasteFromClipboard(); }
    bool ClipboardHasText() override;
    void Undo() override { c_.Undo(); }
    void Redo() override { c_.Redo(); }
    void ToggleCode(char code) override;
    std::int32_t CaretColumn() override { return c_.CaretColumn(); }
    void UpdateCaret() override { c_.UpdateCaret(false); }
    void ScrollInView() override { c_.ScrollInView(); }
    void InvalidateLines(std::int32_t a, std::int32_t b) override { c_.InvalidateLines(a, b); }
    void RepaintNow() override;

    bool Filter(QObject* watched, QEvent* event);
    bool Key(QKeyEvent& e);
    bool KeyRelease(QKeyEvent& e);
    void ShowCursor(TCursorShape shape);
    void AutoScrollChanged();
    void ShowMenu(int x, int y);
    void ScrollBarAction(bool vertical, int action);

    RIzuvAzaz& c_;
    TKeyboard keyboard_;
    TScroller scroller_;
    TMouse mouse_;
    QTimer autoScroll_;
    QPointer<QMenu> menu_;
    std::int32_t blockFirst_ = 0; // the anchored column, which may lie right of the other
    bool pointerInside_ = false;
};

} // namespace lorvane
