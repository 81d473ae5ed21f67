// The control's metrics, pixel mapping, scrolling and public operations, on
// a real font.
#include "editor/view/WidgetFixture.h"

#include "editor/model/TextViews.h"

#include <QScrollBar>

namespace lorvane::test {
namespace {

using WidgetMetrics = WidgetFixture;

// A fixed line height holds until reset; a bigger font makes taller lines
// and the layout follows its widths, which its advance table measures as
// the font does, also for Cyrillic.
TEST_F(WidgetMetrics, LineHeightAndWidthsFollowTheFont) {
    const int natural = Lh();
    memo->SetLineHeight(30);
    EXPECT_EQ(memo->YToLine(59), 1);
    memo->SetLineHeight(0);
    EXPECT_EQ(Lh(), natural);
    memo->SetText("abc");
    const int narrow = XOf(0, 3) - XOf(0, 0);
    memo->SetFont({"System", 28, 10, 0, false});
    EXPECT_GT(Lh(), natural);
    EXPECT_GT(XOf(0, 3) - XOf(0, 0), narrow);
    memo->Device().SelectFont(0);
    EXPECT_TRUE(memo->Device().SelectedUsesTable());
    const std::string text = "Hello, \xcf\xf0\xe8\xe2\xe5\xf2!";
    EXPECT_EQ(memo->Device().TextWidth(text.data(), static_cast<int>(text.size())),
              memo->Device().BaseMetrics().horizontalAdvance(
                  memo->Device().ToQString(text.data(), static_cast<int>(text.size()))));
}

// The caret shows only with the focus and not while display-only.
TEST_F(WidgetMetrics, CaretVisibility) {
    Focus(true);
    EXPECT_TRUE(memo->CaretVisible());
    memo->SetDisplayOnly(true);
    EXPECT_FALSE(memo->CaretVisible());
    memo->SetDisplayOnly(false);
    EXPECT_TRUE(memo->CaretVisible());
    Focus(false);
    EXPECT_FALSE(memo->CaretVisible());
}

using WidgetMapping = WidgetFixture;

TEST_F(WidgetMapping, TabsCodesAndRoundTrips) {
    memo->SetText("abc\tx\x02y\x02z");
    const int origin = memo->LeftMargin();
    EXPECT_EQ(XOf(0, 0), origin);
    EXPECT_EQ(XOf(0, 3), origin + 3 * Sw());
    EXPECT_EQ(XOf(0, 4), origin + 8 * Sw()); // tab to the next stop of 8 spaces
    EXPECT_EQ(XOf(0, 6), XOf(0, 5));         // a code takes no room
    memo->SetTabStops(4);
    EXPECT_EQ(XOf(0, 4), origin + 4 * Sw());

    ParagraphInfo* p = memo->Model().ParagraphAt(0);
    for (int column = 0; column <= p->length; ++column) {
        if (column == 5 || column == 7) continue; // before a code: same x as after it
        EXPECT_EQ(memo->XToPos(p, 0, false, XOf(0, column), 0), column) << column;
    }
    // A click on the right half of a character lands after it.
    EXPECT_EQ(memo->XToPos(p, 0, false, origin + Sw() * 3 / 4, 0), 1);
    EXPECT_EQ(memo->XToPos(p, 0, false, origin + Sw() / 4, 0), 0);
    // Beyond the end: after the last character.
    EXPECT_EQ(memo->XToPos(p, 0, false, 2000, 0), p->length);
    // The right half of a tab: after it, or before it when the caret may
    // stand in the tab's room.
    const int inTab = origin + 4 * Sw() - 2;
    EXPECT_EQ(memo->XToPos(p, 0, false, inTab, 0), 4);
    EXPECT_EQ(memo->XToPos(p, 0, true, inTab, 0), 3);
}

TEST_F(WidgetMapping, AlignmentMovesTheOrigin) {
    memo->SetText("abcd");
    const int width = memo->viewport()->width();
    memo->SetAlignment(taRightJustify);
    EXPECT_EQ(XOf(0, 4), width - memo->RightMargin());
    memo->SetAlignment(taCenter);
    EXPECT_EQ(XOf(0, 0), (width - 16 - 4 * Sw()) / 2 + 8);
    ParagraphInfo* p = memo->Model().ParagraphAt(0);
    for (int column = 0; column <= 4; ++column)
        EXPECT_EQ(memo->XToPos(p, 0, false, XOf(0, column), 0), column);
}

TEST_F(WidgetMapping, JustifiedLinesFillTheWidthButNotTheLastOne) {
    memo->SetJustified(true);
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "word ";
    text += "end";
    memo->SetText(text);
    ASSERT_GT(memo->Model().LineCount(), 1);
    ParagraphInfo* p = memo->Model().ParagraphAt(0);
    TLinesList lines(p);
    const LineInfo& first = *lines.At(0);
    // The first line's last word ends at the right limit.
    const std::int32_t lastWordEnd = first.end - 1; // the line ends with the blank it broke at
    EXPECT_EQ(XOf(0, lastWordEnd - first.start, 0),
              memo->viewport()->width() - memo->RightMargin());
    // The last line is left-aligned, not stretched.
    const std::int32_t k = lines.Count() - 1;
    EXPECT_EQ(XOf(0, 0, k), memo->LeftMargin());
    EXPECT_EQ(XOf(0, 4, k), memo->LeftMargin() + 4 * Sw());
}

struct WidgetScroll : WidgetFixture {
    void FinishLayout() {
        for (int n = 0; n < 100000 && memo->Model().BackgroundJobPending(); ++n)
            QApplication::processEvents();
        QApplication::processEvents();
    }
    bool CaretInView() {
        const int y = memo->CaretPos().y();
        return y >= 0 && y + Lh() <= memo->viewport()->height();
    }
};

TEST_F(WidgetScroll, RangesWithAndWithoutAutomaticBars) {
    memo->SetText("one line");
    QScrollBar* v = memo->verticalScrollBar();
    EXPECT_EQ(v->maximum(), 0); // everything fits: the bar goes away
    memo->SetOptions(memo->Options() & ~rzoAutoScrollBars);
    EXPECT_EQ(v->maximum(), 1); // one spare step keeps it

    memo->SetText(Lines(100, [](int i) { return "line " + std::to_string(i); }));
    memo->SetTopLine(40);
    EXPECT_EQ(memo->VerticalOffset(), 40 * Lh());
    EXPECT_EQ(v->value(), 40 * Lh() / memo->VerticalScrollUnit());
    v->setValue(10 * Lh()); // moving the bar scrolls the text
    EXPECT_EQ(memo->TopLine(), 10);
    // Text inserted above the view (inside a bracket, so the caret at the
    // top is not scrolled to) keeps the same text at the top.
    const std::int32_t top = memo->TopLine();
    const std::string shown = memo->Model().DisplayLineText(top);
    memo->BeginUpdate();
    memo->SetSelStart(0);
    memo->SetSelText("x\r\ny\r\n");
    memo->EndUpdate();
    EXPECT_EQ(memo->TopLine(), top + 2);
    EXPECT_EQ(memo->Model().DisplayLineText(memo->TopLine()), shown);
}

TEST_F(WidgetScroll, ScrollEventsAndTheCaretFollowTheOffsets) {
    int v = 0, h = 0;
    memo->OnVScroll = [&] { ++v; };
    memo->OnHScroll = [&] { ++h; };
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    memo->SetText(Lines(50, std::string(100, 'x')));
    memo->SetSelStart(memo->ParagraphStart(5));
    const QPoint caret = memo->CaretPos();
    v = h = 0;
    memo->ScrollTo(2 * Lh(), 3 * Sw());
    EXPECT_EQ(v, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(memo->CaretPos(), caret - QPoint(3 * Sw(), 2 * Lh()));
    memo->ScrollTo(2 * Lh(), 3 * Sw()); // no change: no events
    EXPECT_EQ(v + h, 2);
    // Whole-line scrolling only.
    memo->SetOptions(memo->Options() | rzoNoFineScroll);
    memo->ScrollTo(3 * Lh() + 5, 0);
    EXPECT_EQ(memo->VerticalOffset(), 3 * Lh());
    // Sideways the caret at a line's end is brought into view; wrapping
    // takes the horizontal range away.
    QScrollBar* bar = memo->horizontalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    memo->SetSelStart(memo->ParagraphStart(5) + 100);
    memo->ScrollTo(0, 0);
    memo->ScrollInView();
    EXPECT_GT(memo->HorizontalOffset(), 0);
    EXPECT_LT(memo->CaretPos().x(), memo->viewport()->width());
    memo->SetWordWrap(true);
    EXPECT_EQ(memo->HorizontalOffset(), 0);
    EXPECT_EQ(bar->maximum(), 0);
}

// The caret line shows whole at the bottom, also when only whole lines may
// scroll; sideways the text moves in steps of five blanks (right-aligned
// text only once it has been moved by hand).
TEST_F(WidgetScroll, KeepingTheCaretInViewShowsItWholeAndMovesInSteps) {
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    memo->resize(400, 8 * Lh() + Lh() / 2);
    memo->SetText(Lines(60, std::string(150, 'x')));
    const int ch = memo->viewport()->height(), cw = memo->viewport()->width();
    for (const int whole : {0, static_cast<int>(rzoNoFineScroll)}) {
        memo->SetOptions(
            static_cast<RIzuvAzazOptions>((memo->Options() & ~rzoNoFineScroll) | whole));
        memo->SetTopLine(0);
        memo->SetSelStart(memo->ParagraphStart(30) + 149);
        memo->ScrollInView();
        EXPECT_LE(memo->CaretPos().y() + Lh(), ch) << "the caret line is not cut";
        EXPECT_GT(memo->CaretPos().y() + 2 * Lh(), ch) << "and it is the last one";
        EXPECT_EQ(memo->HorizontalOffset() % (5 * Sw()), 0);
        EXPECT_GE(memo->CaretPos().x(), cw - 5 * Sw());
    }
    memo->SetSelStart(memo->ParagraphStart(30));
    memo->SetAlignment(taRightJustify);
    memo->ScrollInView();
    EXPECT_EQ(memo->HorizontalOffset(), 0);
}

// The lines that background layout adds above the caret after a huge paste
// must not carry it out of view. A match far down a text still being laid
// out comes into view with only the lines around it laid out; the
// background lays out the rest while the caret stays on the match, in
// view, and the line numbers come out right.
TEST_F(WidgetScroll, BackgroundLayoutKeepsTheCaretInView) {
    memo->SetUpdateMode(umBackground);
    memo->SetText("end");
    memo->SetSelText(Lines(20000, [](int i) {
        return "some words to wrap at the edge of the window " + std::to_string(i);
    }));
    FinishLayout();
    EXPECT_TRUE(CaretInView());

    const int count = 20000;
    memo->SetText(Lines(count,
                        [](int i) {
                            return std::string(i % 7 * 20, 'w') + " words to wrap " +
                                   std::to_string(i);
                        }) +
                  "the marker");
    ASSERT_TRUE(memo->FindText("marker", true, true, false));
    EXPECT_EQ(memo->CaretParagraph(), count);
    EXPECT_TRUE(CaretInView());
    EXPECT_FALSE(memo->Model().ParagraphAt(count / 2)->laidOut);
    memo->Model().CheckConsistency();
    FinishLayout();
    EXPECT_EQ(memo->CaretParagraph(), count);
    EXPECT_TRUE(CaretInView());
    memo->Model().CheckConsistency();
    EXPECT_NE(memo->Lines().Get(memo->CaretLine()).find("marker"), std::string::npos);
    EXPECT_EQ(memo->VerticalOffset() / Lh(), memo->Model().TopLineNavigator().LineNumber());
}

using WidgetOperations = WidgetFixture;

TEST_F(WidgetOperations, ModifiedOnlyWhenTheTextChanges) {
    memo->Clear();
    EXPECT_FALSE(memo->Modified()); // empty into empty
    memo->SetText("abc");
    EXPECT_TRUE(memo->Modified());
    memo->SetModified(false);
    memo->Clear();
    EXPECT_TRUE(memo->Modified());
    EXPECT_EQ(memo->TextLength(), 0);
    // Dropping trailing blanks is no change of the user's.
    memo->SetText("a  \r\nb\t\r\nc");
    memo->SetModified(false);
    memo->SetOptions(memo->Options() | rzoDiscardTrailingSpaces);
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc");
    EXPECT_FALSE(memo->Modified());
    // A zero byte ends the text.
    memo->SetText(std::string_view("ab\0cd", 5));
    EXPECT_EQ(memo->Text(), "ab");
}

TEST_F(WidgetOperations, SelectionEventsAndOperations) {
    int moves = 0, styles = 0;
    memo->OnSelMove = [&] { ++moves; };
    memo->OnStyleChange = [&] { ++styles; };
    memo->SetText("plain \2bold\2 plain");
    memo->SetSelStart(2);
    EXPECT_EQ(moves, 1);
    memo->SetSelStart(2);
    EXPECT_EQ(moves, 1); // not moved: no event
    memo->SetSelStart(8);
    EXPECT_EQ(memo->CaretStyle() & 1, 1);
    EXPECT_GE(styles, 1);

    memo->SelectAll();
    EXPECT_EQ(memo->SelStart(), memo->TextLength());
    EXPECT_EQ(memo->SelLength(), -memo->TextLength());
    char buffer[5];
    EXPECT_EQ(memo->GetSelTextBuf(buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "plai");

    // SelLength clamps at the text's ends.
    memo->SetText("0123456789");
    memo->SetSelStart(7);
    memo->SetSelLength(10);
    EXPECT_EQ(memo->SelLength(), 3);
    memo->SetSelLength(-20);
    EXPECT_EQ(memo->SelLength(), -7);
    EXPECT_EQ(memo->SelText(), "0123456");
}

TEST_F(WidgetOperations, FormatCommandsWrapTheSelection) {
    memo->SetText("one two");
    memo->SetSelStart(4);
    memo->SetSelLength(3);
    memo->ToggleBold();
    EXPECT_EQ(memo->Text(), "one \x02two\x02");
    EXPECT_EQ(memo->SelStart(), 4);
    EXPECT_EQ(memo->SelLength(), 5);
    // Without format codes nothing happens.
    memo->SetStaticFormat(false);
    const std::string before = memo->Text();
    memo->ToggleUnderline();
    EXPECT_EQ(memo->Text(), before);
}

TEST_F(WidgetOperations, LinesParagraphsAndColumns) {
    memo->SetText("first\r\nsecond\r\nthird");
    memo->GoToDisplayLine(1);
    memo->SetCaretColumn(3);
    EXPECT_EQ(memo->SelStart(), 10);
    memo->SetCaretColumn(99);
    EXPECT_EQ(memo->CaretColumn(), 6);
    // The selection length survives a column change.
    memo->SetSelLength(-2);
    memo->SetCaretColumn(4);
    EXPECT_EQ(memo->SelStart(), 11);
    EXPECT_EQ(memo->SelLength(), -2);
}

} // namespace
} // namespace lorvane::test
