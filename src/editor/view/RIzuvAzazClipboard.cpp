// The clipboard and column blocks. Text goes out to other programs as this
// platform's text: Unicode (UTF-8) with LF line breaks, converted from the
// control's code page (Windows-1251, or code page 866 for the "Terminal"
// font, as it is drawn); text from them may break lines with LF, CR LF or
// CR, and every break becomes a paragraph break. A column block goes out as
// that text plus a private MIME type holding its own bytes, which marks it
// as a block, so pasting it in any of our windows puts it back as columns.
#include "editor/view/RIzuvAzaz.h"

#include "platform/CodePageTables.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <algorithm>
#include <memory>

namespace lorvane {

namespace {

cp::CodePage PageOf(const TFontDevice& device) noexcept {
    return device.OemGlyphs() ? cp::CodePage::Cp866 : cp::CodePage::Win1251;
}

// Offsets in paragraph p of the block columns [left, right).
std::pair<std::int32_t, std::int32_t> BlockOffsets(const ParagraphInfo& p, std::int32_t left,
                                                   std::int32_t right, std::int32_t tabs,
                                                   bool codes) {
    std::int32_t a = ColumnToOffset(p, left, tabs, codes);
    std::int32_t b = ColumnToOffset(p, right, tabs, codes);
    a = std::clamp(a, 0, p.length);
    b = std::clamp(b, a, p.length);
    return {a, b};
}

} // namespace

QString RIzuvAzaz::ToForeignText(const std::string& bytes) const {
    std::string lf;
    lf.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) lf += bytes[i];
    return QString::fromStdString(cp::DecodeToUtf8(PageOf(device_), lf));
}

std::string RIzuvAzaz::FromForeignText(const QString& text) const {
    // Characters the code page lacks become '?', as typing would refuse them.
    const std::string bytes = cp::EncodeFromUtf8(PageOf(device_), text.toStdString(), '?');
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

const char* RIzuvAzaz::BlockMimeType() noexcept {
    return "application/x-lorvane-column-block";
}

std::string RIzuvAzaz::BlockText() {
    std::string out;
    const std::int32_t first = model_.SelStartNavigator().ParagraphIndex();
    const std::int32_t last = model_.SelStopNavigator().ParagraphIndex();
    for (std::int32_t i = first; i <= last; ++i) {
        const ParagraphInfo& p = *model_.ParagraphAt(i);
        // A line that does not reach the left column gives nothing.
        const auto [a, b] = BlockOffsets(p, blockLeft_, blockRight_, TabStops(), StaticFormat());
        if (b > a) out.append(p.text + a, static_cast<std::size_t>(b - a));
        out += "\r\n";
    }
    return out;
}

bool RIzuvAzaz::DeleteBlock(std::string_view& text) {
    (void)text;
    if (!blockActive_) return false;
    blockActive_ = false;
    const std::int32_t first = model_.SelStartNavigator().ParagraphIndex();
    const std::int32_t last = model_.SelStopNavigator().ParagraphIndex();
    model_.EndTypingGroup();
    const std::int32_t records = model_.UndoRecords().Level();
    model_.BeginUpdate();
    for (std::int32_t i = first; i <= last; ++i) {
        const ParagraphInfo& p = *model_.ParagraphAt(i);
        const auto [a, b] = BlockOffsets(p, blockLeft_, blockRight_, TabStops(), StaticFormat());
        const std::int32_t start = model_.StartAt(i);
        model_.SetSelStart(start + a);
        if (b > a) {
            model_.SetSelLength(b - a);
            model_.Replace({});
        }
    }
    // One record a line, one Undo for the block.
    model_.GroupUndoSince(records);
    model_.EndUpdate();
    return true;
}

void RIzuvAzaz::CopyToClipboard() {
    if (SelLength() == 0 && !blockActive_) return;
    auto data = std::make_unique<QMimeData>();
    if (blockActive_) {
        const std::string block = BlockText();
        data->setText(ToForeignText(block));
        QByteArray bytes(block.data(), static_cast<qsizetype>(block.size()));
        bytes.append('\0');
        data->setData(BlockMimeType(), bytes);
    } else {
        data->setText(ToForeignText(model_.SelText()));
    }
    QApplication::clipboard()->setMimeData(data.release());
}

void RIzuvAzaz::CutToClipboard() {
    if (SelLength() == 0 && !blockActive_) return;
    CopyToClipboard();
    SetSelText({});
}

void RIzuvAzaz::PasteFromClipboard() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return;
    model_.EndTypingGroup();
    if (data->hasFormat(BlockMimeType())) {
        QByteArray bytes = data->data(BlockMimeType());
        const qsizetype nul = bytes.indexOf('\0');
        if (nul >= 0) bytes.truncate(nul);
        PasteBlock(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } else {
        SetSelText(FromForeignText(data->text()));
    }
    model_.EndTypingGroup();
}

void RIzuvAzaz::PasteBlock(const std::string& text) {
    // Lines split as a string list splits them: at CR LF, CR or LF.
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
        if (text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
    }
    const std::int32_t column =
        std::max(0, (caretX_ + hOffset_ - LeftMargin()) / std::max(1, spaceWidth_));
    const std::int32_t first = model_.CaretParagraph();
    blockActive_ = false;
    const std::int32_t records = model_.UndoRecords().Level();
    model_.BeginUpdate();
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const auto i = first + static_cast<std::int32_t>(n);
        if (i >= model_.ParagraphCount()) {
            model_.SetSelStart(model_.TextLength());
            model_.Replace("\r\n");
        }
        const ParagraphInfo& p = *model_.ParagraphAt(i);
        const std::int32_t offset = ColumnToOffset(p, column, TabStops(), StaticFormat());
        const std::int32_t missing = ColumnExcess(p, column, TabStops(), StaticFormat());
        model_.SetSelStart(model_.StartAt(i) + std::min(offset, p.length));
        std::string piece(static_cast<std::size_t>(std::max(0, missing)), ' ');
        piece += lines[n];
        if (!piece.empty()) model_.Replace(piece);
    }
    model_.GroupUndoSince(records);
    model_.EndUpdate();
    virtualSpaces_ = 0;
    if (model_.UpdateCount() == 0) ScrollInView();
    viewport()->update();
}

} // namespace lorvane
