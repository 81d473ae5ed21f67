// Plain and column-block exchange through the real clipboard, and block
// deletion, in one flow.
#include "editor/view/WidgetFixture.h"

#include <QClipboard>
#include <QMimeData>

namespace lorvane::test {
namespace {

struct WidgetClipboard : WidgetFixture {
    // Selects paragraphs first..last whole and makes it a block of columns.
    void SelectBlock(std::int32_t first, std::int32_t last, std::int32_t left, std::int32_t right) {
        memo->SetSelStart(memo->ParagraphStart(first));
        memo->SetSelLength(memo->ParagraphStart(last) - memo->ParagraphStart(first));
        memo->SetBlockSelection(left, right);
    }
};

// A block changes line by line, but for the user each paste or deletion
// is one change. Tabs in a block are counted by their columns and taken
// whole; codes take no column.
TEST_F(WidgetClipboard, BlocksAndTextFromAndForOtherPrograms) {
    QClipboard& clipboard = *QApplication::clipboard();
    const std::string text = "abcdefg\r\nab\r\nabcdef";
    memo->SetText(text);
    SelectBlock(0, 2, 2, 5);
    EXPECT_EQ(memo->SelText(), "cde\r\n\r\ncde\r\n");
    memo->CopyToClipboard();
    const QMimeData* data = clipboard.mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QString("cde\n\ncde\n")) << "other programs get their own breaks";
    ASSERT_TRUE(data->hasFormat(RIzuvAzaz::BlockMimeType()));
    EXPECT_EQ(data->data(RIzuvAzaz::BlockMimeType()), QByteArray("cde\r\n\r\ncde\r\n", 13));
    memo->SetSelText("");
    EXPECT_EQ(memo->Text(), "abfg\r\nab\r\nabf");
    EXPECT_FALSE(memo->BlockSelection());
    memo->Undo();
    EXPECT_EQ(memo->Text(), text);
    memo->SetSelStart(memo->ParagraphStart(1) + 1);
    memo->PasteFromClipboard(); // appends a paragraph too
    memo->Undo();
    EXPECT_EQ(memo->Text(), text);

    // Pasted lines are padded to the caret column; the caret ends at the
    // last piece.
    memo->SetText("abcdefgh");
    memo->SetSelStart(4);
    memo->PasteFromClipboard();
    EXPECT_EQ(memo->Text(), "abcdcdeefgh\r\n    \r\n    cde");
    EXPECT_EQ(memo->SelStart(), memo->TextLength());

    // Typing over a block deletes it and puts the text at its left column
    // on the last line; a new plain selection ends block mode.
    memo->SetText("abcdefg\r\nabcdefg");
    SelectBlock(0, 1, 1, 3);
    memo->SetSelText("X");
    EXPECT_EQ(memo->Text(), "adefg\r\naXdefg");
    SelectBlock(0, 1, 1, 3);
    memo->SetSelLength(1);
    EXPECT_FALSE(memo->BlockSelection());

    memo->SetTabStops(4);
    memo->SetText("\tabc\r\n\x02wxyz\x02");
    SelectBlock(0, 1, 1, 5);
    EXPECT_EQ(memo->BlockText(), "\ta\r\nxyz\x02\r\n");
    memo->SetText("ab\r\nabcdef"); // a line shorter than the left column
    SelectBlock(0, 1, 3, 5);
    EXPECT_EQ(memo->BlockText(), "\r\nde\r\n");

    // Other programs break lines with LF, CR LF or CR and speak Unicode; the
    // document holds CR LF and the code page it is drawn in (866 for
    // "Terminal").
    const char* const cases[][4] = {
        // font, pasted (UTF-8), document, copied back
        {"System", "a\nb\r\nc\r\r", "a\r\nb\r\nc\r\n\r\n", "a\nb\nc\n\n"},
        {"System", "\xd0\xbc\xd0\xb8\xd1\x80 \xe3\x84\xb1", "\xec\xe8\xf0 ?",
         "\xd0\xbc\xd0\xb8\xd1\x80 ?"},
        {"Terminal", "\xd0\xbc\xd0\xb8\xd1\x80\n\xe2\x95\x94\xe2\x82\xac", "\xac\xa8\xe0\r\n\xc9?",
         "\xd0\xbc\xd0\xb8\xd1\x80\n\xe2\x95\x94?"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[1]);
        memo->SetFont({c[0], 14, 10, 0, false});
        memo->SetText("<old>"); // the pasted text replaces the selection
        memo->SelectAll();
        clipboard.setText(QString::fromUtf8(c[1]));
        memo->PasteFromClipboard();
        EXPECT_EQ(memo->Text(), c[2]);
        memo->SelectAll();
        memo->CopyToClipboard();
        EXPECT_EQ(clipboard.text().toStdString(), c[3]);
        EXPECT_FALSE(clipboard.mimeData()->hasFormat(RIzuvAzaz::BlockMimeType()));
    }

    // A cut is undone without its selection; nothing selected copies
    // nothing, and an empty clipboard pastes nothing.
    memo->SetText("hello world");
    memo->SetSelStart(6);
    memo->SetSelLength(5);
    memo->CutToClipboard();
    EXPECT_EQ(memo->Text(), "hello ");
    EXPECT_EQ(clipboard.text(), QString("world"));
    memo->Undo();
    EXPECT_EQ(memo->Text(), "hello world");
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_EQ(memo->SelStart(), 11);
    memo->CopyToClipboard();
    EXPECT_EQ(clipboard.text(), QString("world"));
    clipboard.clear();
    memo->PasteFromClipboard();
    EXPECT_EQ(memo->Text(), "hello world");
}

} // namespace
} // namespace lorvane::test
