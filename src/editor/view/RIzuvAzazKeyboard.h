#pragma once
// Keyboard handling of the editor control: virtual keys and typed
// Windows-1251 characters turned into caret moves, selection changes and
// edits of the model. It is Qt-free: it reaches the control only through
// TInputTarget, which the widget implements, so the key rules depend on
// the model and the target's few questions, never on the toolkit.
#include "editor/model/RIzuvAzazModel.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <string_view>

namespace lorvane {

// Modifier and button state of a key or mouse event.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;
inline constexpr TShiftState ssDouble = 0x40;
inline constexpr TShiftState ssModifiers = ssShift | ssAlt | ssCtrl;

// The virtual keys the control handles (the values hosts and key handlers see).
namespace vk {
inline constexpr std::uint16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18,
                               Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38,
                               Right = 39, Down = 40, Insert = 45, Delete = 46;
} // namespace vk

inline constexpr std::int32_t kNoRememberedX = INT_MIN;

// What the keyboard and mouse handlers need of the control beyond its model.
class TInputTarget {
public:
    virtual ~TInputTarget() = default;

    virtual RIzuvAzazModel& Model() = 0;
    virtual bool ReadOnly() const = 0;
    virtual bool DisplayOnly() const = 0;
    virtual bool EnableHotKeys() const = 0;
    virtual bool PassOverCodes() const = 0;
    virtual bool Overwrite() const = 0;
    virtual void SetOverwrite(bool on) = 0;
    virtual void FireStyleChange() = 0;

    // Caret state beyond the model's selection.
    virtual std::int32_t VirtualSpaces() const = 0;
    virtual void SetVirtualSpaces(std::int32_t n) = 0;
    virtual std::int32_t RememberedX() const = 0;
    virtual void SetRememberedX(std::int32_t x) = 0;
    virtual bool BlockSelection() const = 0;
    virtual std::int32_t BlockLeft() const = 0;
    virtual std::int32_t BlockRight() const = 0;
    virtual void SetBlockSelection(std::int32_t firstColumn, std::int32_t secondColumn) = 0;
    virtual void EndBlockSelection() = 0;

    // Pixel mapping: client x of a column of a display line, and back.
    virtual int PosToX(ParagraphInfo* paragraph, std::int32_t index, std::int32_t column,
                       std::int32_t lineInParagraph) = 0;
    virtual std::int32_t XToPos(ParagraphInfo* paragraph, std::int32_t index, bool beyondTab, int x,
                                std::int32_t lineInParagraph) = 0;
    virtual std::int32_t YToLine(int y) const = 0;
    virtual int SpaceWidth() const = 0;
    virtual int LineHeight() const = 0;
    virtual int VisibleLines() const = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int HorizontalOffset() const = 0;
    virtual int VerticalOffset() const = 0;
    virtual int HorizontalScrollUnit() const = 0;
    virtual int VerticalScrollUnit() const = 0;
    virtual int RightMargin() const = 0;
    virtual void ScrollTo(int vOffset, int hOffset) = 0;

    // Operations of the control.
    virtual void SetSelText(std::string_view text) = 0; // with the virtual spaces
    virtual void CopyToClipboard() = 0;
    virtual void CutToClipboard() = 0;
    virtual void PasteFromClipboard() = 0;
    virtual bool ClipboardHasText() = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void ToggleCode(char code) = 0;
    virtual std::int32_t CaretColumn() = 0;

    // Screen feedback.
    virtual void UpdateCaret() = 0;
    virtual void ScrollInView() = 0;
    virtual void InvalidateLines(std::int32_t a, std::int32_t b) = 0;
    virtual void RepaintNow() = 0;
};

class TKeyboard {
public:
    explicit TKeyboard(TInputTarget& target);
    TKeyboard(const TKeyboard&) = delete;
    TKeyboard& operator=(const TKeyboard&) = delete;

    // The inherited processing: a host handler may change or clear the key.
    std::function<void(std::uint16_t& key, TShiftState shift)> OnKeyDown;
    std::function<void(unsigned char& ch)> OnKeyPress;
    std::function<void(std::uint16_t& key, TShiftState shift)> OnKeyUp;

    // Set by the mouse while a selection is dragged; keys then only switch
    // the drag cursor.
    std::function<bool()> Dragging;
    std::function<void(bool copy)> ShowDragCursor;

    // A key went down; on return `key` is 0 when it was consumed.
    void KeyDown(std::uint16_t& key, TShiftState shift);
    // A character was typed (Windows-1251, control characters included).
    void KeyPress(unsigned char ch);
    void KeyUp(std::uint16_t& key, TShiftState shift);

    // Client x of the caret, virtual spaces included.
    int CaretX();
    // Client x of a navigator's position.
    int XOf(TNavigator& nav);
    // Selects from anchor to caret as a Shift move leaves it.
    void SelectTo(std::int32_t anchor, std::int32_t caret);
    // Applies the move of the work navigator (collapse or extend).
    void ApplyMove(TNavigator& nav, std::int32_t oldPos, std::int32_t oldLine, bool shift);
    // The column (in space widths) a block selection edge takes from the caret.
    std::int32_t BlockColumnOfCaret();

private:
    bool IsBreak(unsigned char c) const noexcept;
    bool IsSep(unsigned char c) const noexcept;
    void Step(TNavigator& nav, std::int32_t delta);
    bool AtParagraphEnd(TNavigator& nav);
    void DisplayOnlyKey(std::uint16_t key, TShiftState shift);
    bool HotKey(std::uint16_t key, TShiftState shift);
    void VerticalMove(bool shift);
    void LeftKey(bool shift, bool ctrl);
    void RightKey(bool ctrl);
    void DeleteKey(bool shift, bool ctrl);
    void BackspaceKey(bool ctrl);
    void Enter();
    void Finish(bool shift, bool moved, std::int32_t oldPos, std::int32_t oldLine);

    TInputTarget& t_;
    RIzuvAzazModel& m_;
    TNavigator work_;
    bool keyReleased_ = true;
};

} // namespace lorvane
