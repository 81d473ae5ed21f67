#pragma once
// A control stand-in for the key and mouse rules: the model on a fixed-cell
// device (8 pixels a byte, 16 a line), caret state in plain members, a
// string for a clipboard, and a count of style changes.
#include "editor/model/FixedCellDevice.h"
#include "editor/model/RecordingHost.h"
#include "editor/view/RIzuvAzazKeyboard.h"

#include <algorithm>
#include <string>

namespace lorvane::test {

class FakeTarget : public TInputTarget {
public:
    static constexpr int kCell = 8;
    static constexpr int kLine = 16;

    explicit FakeTarget(int columns = 40, int rows = 10)
        : host(16 + kCell * columns, kLine * rows) {
        model.SetUpdateMode(umImmediate);
        model.SetDevice(&device);
        model.SetHost(&host);
        model.SetWordWrap(false);
        model.RelayoutAll();
    }

    RIzuvAzazModel& Model() override { return model; }
    bool ReadOnly() const override { return readOnly; }
    bool DisplayOnly() const override { return displayOnly; }
    bool EnableHotKeys() const override { return true; }
    bool PassOverCodes() const override { return passOverCodes; }
    bool Overwrite() const override { return overwrite; }
    void SetOverwrite(bool on) override { overwrite = on; }
    void FireStyleChange() override { ++styleChanges; }
    std::int32_t VirtualSpaces() const override { return virtualSpaces; }
    void SetVirtualSpaces(std::int32_t n) override { virtualSpaces = n; }
    std::int32_t RememberedX() const override { return rememberedX; }
    void SetRememberedX(std::int32_t x) override { rememberedX = x; }
    bool BlockSelection() const override { return block; }
    std::int32_t BlockLeft() const override { return blockLeft; }
    std::int32_t BlockRight() const override { return blockRight; }
    void SetBlockSelection(std::int32_t a, std::int32_t b) override {
        block = true;
        blockLeft = a;
        blockRight = b;
    }
    void EndBlockSelection() override { block = false; }

    // Tabs run to the next multiple of TabStops cells from the text origin;
    // codes take no room while the static format is on.
    int CellWidth(unsigned char c, int x) const {
        if (c == '\t') {
            const int stop = model.TabStops() * kCell;
            return stop - x % stop;
        }
        if (model.StaticFormat() && IsFormatCode(c)) return 0;
        return kCell;
    }
    int PosToX(ParagraphInfo* p, std::int32_t, std::int32_t column, std::int32_t k) override {
        TLinesList lines(p);
        const LineInfo* line = lines.At(k);
        const std::int32_t end = std::min(line->end, line->start + column);
        int x = 0;
        for (std::int32_t i = line->start; i < end && i < p->length; ++i)
            x += CellWidth(static_cast<unsigned char>(p->text[i]), x);
        return x + model.LeftMargin() - hOffset;
    }
    std::int32_t XToPos(ParagraphInfo* p, std::int32_t, bool beyondTab, int x,
                        std::int32_t k) override {
        TLinesList lines(p);
        const LineInfo* line = lines.At(k);
        const int target = x + hOffset - model.LeftMargin();
        int at = 0;
        std::int32_t i = line->start;
        for (; i < line->end && i < p->length; ++i) {
            const unsigned char c = static_cast<unsigned char>(p->text[i]);
            const int w = CellWidth(c, at);
            if (at + w / 2 > target || (w == 0 && at > target)) break;
            if (beyondTab && c == '\t' && at + w > target) break;
            at += w;
        }
        return i - line->start;
    }
    std::int32_t YToLine(int y) const override { return (vOffset % kLine + y) / kLine; }
    int SpaceWidth() const override { return kCell; }
    int LineHeight() const override { return kLine; }
    int VisibleLines() const override { return host.ClientHeight() / kLine + 1; }
    int ClientWidth() const override { return host.ClientWidth(); }
    int ClientHeight() const override { return host.ClientHeight(); }
    int HorizontalOffset() const override { return hOffset; }
    int VerticalOffset() const override { return vOffset; }
    int HorizontalScrollUnit() const override { return 1; }
    int VerticalScrollUnit() const override { return 1; }
    int RightMargin() const override { return model.RightMargin(); }
    void ScrollTo(int v, int h) override {
        vOffset = v;
        hOffset = h;
        model.TopLineNavigator().SetLineNumber(v / kLine);
    }

    void SetSelText(std::string_view text) override {
        std::string s(text);
        if (virtualSpaces > 0 && model.HasOption(rzoPutExtraSpaces) && model.SelLength() == 0)
            s.insert(0, static_cast<std::size_t>(virtualSpaces), ' ');
        virtualSpaces = 0;
        rememberedX = kNoRememberedX;
        model.Replace(s);
    }
    void CopyToClipboard() override {
        clipboard = block ? std::string("<block>") : model.SelText();
    }
    void CutToClipboard() override {
        CopyToClipboard();
        SetSelText({});
    }
    void PasteFromClipboard() override { SetSelText(clipboard); }
    bool ClipboardHasText() override { return !clipboard.empty(); }
    void Undo() override { model.Undo(); }
    void Redo() override { model.Redo(); }
    void ToggleCode(char code) override {
        const std::string text = std::string(1, code) + model.SelText() + std::string(1, code);
        const bool empty = model.SelLength() == 0;
        model.Replace(text, empty ? ReplaceKind::FormatCommandEmpty : ReplaceKind::FormatCommand);
        if (empty) model.SetSelStart(model.SelStart() - 1);
    }
    std::int32_t CaretColumn() override { return model.Caret().Column() + virtualSpaces; }
    void UpdateCaret() override {}
    void ScrollInView() override {}
    void InvalidateLines(std::int32_t, std::int32_t) override {}
    void RepaintNow() override {}

    // Puts the caret at pos with nothing selected, as a click would.
    void Caret(std::int32_t pos) {
        model.SetSelStart(pos);
        virtualSpaces = 0;
        rememberedX = kNoRememberedX;
    }

    FixedCellDevice device{kCell, kLine};
    RecordingHost host;
    RIzuvAzazModel model;
    bool readOnly = false;
    bool displayOnly = false;
    bool passOverCodes = true;
    bool overwrite = false;
    std::int32_t virtualSpaces = 0;
    std::int32_t rememberedX = kNoRememberedX;
    bool block = false;
    std::int32_t blockLeft = 0;
    std::int32_t blockRight = 0;
    int hOffset = 0;
    int vOffset = 0;
    std::string clipboard;
    int styleChanges = 0;
};

} // namespace lorvane::test
