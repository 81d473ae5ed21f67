// What the control paints: selection colours, the end-of-paragraph and
// end-of-text marks, highlights, the special underline, the background
// picture, the box-drawing glyphs of the "Terminal" font, and nothing at
// all while an update bracket is open.
#include "editor/view/WidgetFixture.h"

#include "editor/model/ParagraphList.h"
#include "editor/model/TextViews.h"
#include "platform/Colors.h"

#include <QPaintEvent>
#include <QPixmap>

namespace lorvane::test {
namespace {

constexpr TColor kGreen = RgbColor(0, 200, 0);

struct WidgetPaint : WidgetFixture {
    void SetUp() override {
        WidgetFixture::SetUp();
        memo->SetHideSelection(false);
        memo->SetOptions(memo->Options() | rzoWindowsSelColors);
        memo->SetSelBackColor(kGreen);
        memo->SetSelTextColor(clWhite);
    }
    // A highlight entry at `offset` of paragraph 0, as the passes would
    // leave one.
    void AddEntry(std::int32_t offset, std::uint8_t flags, TColor text, TColor back) {
        ParagraphInfo& p = *memo->Model().ParagraphAt(0);
        AttrInfo state;
        state.flags = flags;
        state.color1 = static_cast<std::uint32_t>(text);
        state.color2 = static_cast<std::uint32_t>(back);
        InsertEntryAt(p, p.entryCount, state, offset);
    }
    const QColor green{0, 200, 0}, white{Qt::white};

    // Any pixel of colour c in the rectangle?
    static bool Has(const QImage& image, QRect r, QColor c) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (SameColour(image.pixel(x, y), c)) return true;
        return false;
    }
};

TEST_F(WidgetPaint, SelectionColoursOnlyWhereSelected) {
    memo->SetText("aaaa bbbb\r\ncccc");
    memo->SetSelStart(5);
    memo->SetSelLength(4);
    const QImage image = Snap("selection-colours");
    const int mid = (XOf(0, 5) + XOf(0, 9)) / 2;
    EXPECT_TRUE(SameColour(image.pixel(mid, 1), green));
    EXPECT_TRUE(SameColour(image.pixel(XOf(0, 2), 1), white));
    EXPECT_TRUE(SameColour(image.pixel(XOf(0, 9) + 2, 1), white));
    EXPECT_TRUE(SameColour(image.pixel(mid, Lh() + 1), white));
    // The selected text is drawn in the selection's text colour, not black.
    const QRect selected(XOf(0, 5), 0, XOf(0, 9) - XOf(0, 5), Lh());
    EXPECT_FALSE(Has(image, selected, Qt::black));
    EXPECT_TRUE(Has(image, QRect(XOf(0, 0), 0, XOf(0, 4) - XOf(0, 0), Lh()), Qt::black));

    // Without the system's colours the selection is inverted.
    memo->SetOptions(memo->Options() & ~rzoWindowsSelColors);
    const QImage inverted = Render();
    EXPECT_TRUE(SameColour(inverted.pixel(mid, 1), Qt::black));
    EXPECT_TRUE(SameColour(inverted.pixel(XOf(0, 2), 1), white));

    // Hidden when the control has no focus and HideSelection is on.
    memo->SetHideSelection(true);
    memo->clearFocus();
    QApplication::processEvents();
    EXPECT_TRUE(SameColour(Render().pixel(mid, 1), white));
}

TEST_F(WidgetPaint, SelectionAcrossLinesEndMarkAndFullLine) {
    memo->SetText("aaaa bbbb\r\ncccc dddd\r\neeee");
    memo->SetSelStart(5);
    memo->SetSelLength(13); // "bbbb", the break, "cccc d"
    QImage image = Snap("selection-across-lines");
    const int endX = XOf(0, 9);
    // The paragraph end inside the selection: a small mark after the text,
    // in the middle third of the line only.
    EXPECT_TRUE(SameColour(image.pixel(endX + 1, Lh() / 2), green));
    EXPECT_TRUE(SameColour(image.pixel(endX + 1, 1), white));
    EXPECT_TRUE(SameColour(image.pixel(endX + Sw(), Lh() / 2), white));
    // Second line selected from its start.
    EXPECT_TRUE(SameColour(image.pixel(XOf(1, 0) + 1, Lh() + 1), green));
    EXPECT_TRUE(SameColour(image.pixel(XOf(1, 8) + 1, Lh() + 1), white));

    memo->SetShowEndParSelected(false);
    image = Render();
    EXPECT_TRUE(SameColour(image.pixel(endX + 1, Lh() / 2), white));

    // Full-line selection: to the right edge, but only on a line the
    // selection continues past.
    memo->SetOptions(memo->Options() | rzoFullLineSelect);
    image = Render();
    const int right = memo->viewport()->width() - 2;
    EXPECT_TRUE(SameColour(image.pixel(right, 1), green));
    EXPECT_TRUE(SameColour(image.pixel(right, Lh() + 1), white));
}

TEST_F(WidgetPaint, BlockSelectionSpansColumns) {
    memo->SetText("abcdefgh\r\nab\r\nabcdefgh\r\nnot selected");
    memo->SetSelStart(0);
    memo->SetSelLength(memo->ParagraphStart(2));
    memo->SetBlockSelection(2, 6);
    const QImage image = Snap("block-selection");
    const int inside = memo->LeftMargin() + 4 * Sw();
    for (int line = 0; line < 3; ++line)
        EXPECT_TRUE(SameColour(image.pixel(inside, line * Lh() + 1), green)) << line;
    EXPECT_FALSE(SameColour(image.pixel(inside, 3 * Lh() + 1), green));
    EXPECT_FALSE(SameColour(image.pixel(memo->LeftMargin() + Sw(), 1), green));
}

TEST_F(WidgetPaint, EndOfTextMarkUnderTheLastLine) {
    memo->SetEndOfTextMark({clRed, 1, psSolid});
    memo->SetText("one\r\ntwo");
    QImage image = Render();
    EXPECT_TRUE(SameColour(image.pixel(50, 2 * Lh()), Qt::red));
    EXPECT_FALSE(SameColour(image.pixel(50, 2 * Lh() + 3), Qt::red));
    memo->SetEndOfTextMark({clGray, 1, psClear});
    image = Render();
    EXPECT_FALSE(Has(image, QRect(0, 2 * Lh() - 2, 100, 5), QColor(0x80, 0x80, 0x80)));
}

TEST_F(WidgetPaint, HighlightsAndSpecialUnderline) {
    memo->SetHighlightColor(RgbColor(0, 0, 255));
    memo->SetHighlightBackgnd(clYellow);
    memo->SetText("mov ax, bx ; comment");
    // "mov" a keyword in highlight colours, "ax," plain, "bx" with the
    // special underline, the comment green on its own background.
    AddEntry(0, 0x80 | 0x10 | 0x01, clNone, clNone);
    AddEntry(3, 0, clNone, clNone);
    AddEntry(8, 0x80 | 0x18, clBlack, clNone);
    AddEntry(10, 0, clNone, clNone);
    AddEntry(11, 0x80 | 0x02, clGreen, RgbColor(230, 230, 230));
    memo->viewport()->update();
    const QImage image = Snap("highlights");
    const QColor yellow(Qt::yellow);
    EXPECT_TRUE(SameColour(image.pixel(XOf(0, 1), 1), yellow));
    EXPECT_TRUE(Has(image, QRect(XOf(0, 0), 0, XOf(0, 3) - XOf(0, 0), Lh()), QColor(0, 0, 255)));
    EXPECT_TRUE(SameColour(image.pixel(XOf(0, 5), 1), Qt::white));
    EXPECT_TRUE(SameColour(image.pixel(XOf(0, 14), 1), QColor(230, 230, 230)));
    EXPECT_TRUE(
        Has(image, QRect(XOf(0, 11), 0, XOf(0, 19) - XOf(0, 11), Lh()), QColor(0, 0x80, 0)));

    // The zigzag: red between baseline + 1 and baseline + 3 under "bx" only.
    const int base = memo->BaselineOffset();
    const QRect under(XOf(0, 8), base + 1, XOf(0, 10) - XOf(0, 8), 3);
    EXPECT_TRUE(Has(image, under, Qt::red));
    EXPECT_FALSE(Has(image, QRect(XOf(0, 4), base + 1, XOf(0, 7) - XOf(0, 4), 3), Qt::red));
}

TEST_F(WidgetPaint, KeywordsAndCommentsFromTheControlsOwnLists) {
    memo->Keywords().Add("mov", AttributeHead{kWholeWords, 0x01, 1, 0,
                                              static_cast<std::uint32_t>(RgbColor(0, 0, 255)),
                                              static_cast<std::uint32_t>(clNone)});
    memo->StartStopKeys().Add(";", "", true, static_cast<std::uint32_t>(clNone),
                              static_cast<std::uint32_t>(clGreen), 0, 1, 0x02, 0);
    memo->SetText("mov ax, bx ; mov here is a comment\r\nmove mov");
    const QImage image = Snap("keywords-and-comments");
    const auto has = [&](int paragraph, int from, int to, QColor c) {
        const int y = paragraph * Lh();
        return Has(image,
                   QRect(XOf(paragraph, from), y, XOf(paragraph, to) - XOf(paragraph, from), Lh()),
                   c);
    };
    const QColor blue(0, 0, 255), comment(0, 0x80, 0);
    EXPECT_TRUE(has(0, 0, 3, blue));
    EXPECT_FALSE(has(0, 4, 10, blue));
    EXPECT_TRUE(has(0, 11, 20, comment));
    EXPECT_FALSE(has(0, 13, 16, blue)); // no keyword inside the comment
    EXPECT_FALSE(has(1, 0, 4, blue));   // not a whole word
    EXPECT_TRUE(has(1, 5, 8, blue));
}

TEST_F(WidgetPaint, NothingPaintedInsideAnUpdateBracket) {
    memo->SetText("some text");
    memo->BeginUpdate();
    const QImage during = Render(QColor(255, 0, 255));
    EXPECT_TRUE(SameColour(during.pixel(1, 1), QColor(255, 0, 255)));
    memo->EndUpdate();
    const QImage after = Render(QColor(255, 0, 255));
    EXPECT_TRUE(SameColour(after.pixel(1, 1), Qt::white));
}

TEST_F(WidgetPaint, TextLoadedThroughTheLinesViewIsRepaintedWhole) {
    struct PaintSpy : QObject {
        QRegion region;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    memo->SetText("a long first text\r\nwith\r\nthree lines");
    QApplication::processEvents();
    memo->viewport()->installEventFilter(&spy);
    memo->Lines().SetText("x");
    QApplication::processEvents();
    memo->viewport()->removeEventFilter(&spy);
    // The old second and third lines must be painted over.
    EXPECT_TRUE(spy.region.contains(QRect(0, Lh(), 200, 2 * Lh())));
}

TEST_F(WidgetPaint, WrappedLongWordAndTrailingBlanks) {
    memo->SetText("short words then averyveryveryveryveryveryveryveryveryveryverylongword end");
    EXPECT_GE(memo->Model().LineCount(), 3);
    const QImage image = Snap("wrapped-long-word");
    // Every wrapped line stays inside the right margin.
    const int limit = memo->viewport()->width() - memo->RightMargin();
    EXPECT_FALSE(Has(image, QRect(limit + 1, 0, memo->RightMargin() - 1, 3 * Lh()), Qt::black));
}

TEST_F(WidgetPaint, TerminalFontShowsBoxDrawing) {
    memo->SetFont({"Terminal", 14, 10, 0, false});
    memo->SetText("\xda\xc4\xc4\xc4\xc4\xbf\r\n\xb3 OK \xb3\r\n\xc0\xc4\xc4\xc4\xc4\xd9");
    const QImage image = Snap("terminal-box");
    // The horizontal bar is drawn as a line: dark pixels run across a whole cell.
    int longest = 0;
    for (int y = 0; y < Lh(); ++y) {
        int run = 0;
        for (int x = XOf(0, 1); x < XOf(0, 5); ++x) {
            run = SameColour(image.pixel(x, y), Qt::white) ? 0 : run + 1;
            longest = std::max(longest, run);
        }
    }
    EXPECT_GE(longest, 4 * Sw() - 1);
    memo->SetFont({"System", 14, 10, 0, false});
    EXPECT_EQ(memo->Device().GlyphOf(0xC4), QChar(0x0414)); // Windows-1251 again
}

TEST_F(WidgetPaint, BackgroundPictureScrollsWithTheText) {
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, qRgb(x * 30 + 10, y * 30 + 10, 128));
    memo->SetBackgroundBmp(QPixmap::fromImage(tile));
    memo->SetText(Lines(40, "line"));
    const auto expected = [&](int x, int y) {
        const int v = memo->VerticalOffset() + y;
        return QColor((x % 8) * 30 + 10, (v % 8) * 30 + 10, 128);
    };
    for (const int top : {0, 3}) {
        memo->SetTopLine(top);
        const QImage image = Snap("background");
        for (int y : {0, 3, Lh() + 5, 150})
            EXPECT_TRUE(SameColour(image.pixel(2, y), expected(2, y))) << top << " " << y;
    }
}

} // namespace
} // namespace lorvane::test
