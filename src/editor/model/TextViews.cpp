#include "editor/model/TextViews.h"

#include "editor/model/RIzuvAzazModel.h"
#include "platform/Stream.h"

namespace lorvane {

std::string RIzuvAzazStrings::Text() {
    return memo_.Text();
}
void RIzuvAzazStrings::SetText(std::string_view text) {
    memo_.SetText(text);
}
void RIzuvAzazStrings::BeginUpdate() noexcept {
    memo_.BeginUpdate();
}
void RIzuvAzazStrings::EndUpdate() {
    memo_.EndUpdate();
}
void RIzuvAzazStrings::LoadFromStream(TStream& stream) {
    memo_.LoadFromStream(stream);
}
void RIzuvAzazStrings::SaveToStream(TStream& stream) {
    memo_.SaveToStream(stream);
}
bool RIzuvAzazStrings::HasStringsProperty() const noexcept {
    return memo_.HasStringsProperty();
}
void RIzuvAzazStrings::WriteStrings(TStream& stream) {
    memo_.WriteStringsProperty(stream);
}
void RIzuvAzazStrings::ReadStrings(TStream& stream) {
    memo_.ReadStringsProperty(stream);
}

void RIzuvAzazStrings::Assign(const std::vector<std::string>& items) {
    TStringStream stream;
    for (const auto& item : items) {
        stream.WriteBuffer(item.data(), static_cast<std::int64_t>(item.size()));
        stream.WriteBuffer("\r\n", 2);
    }
    stream.SetPosition(0);
    memo_.LoadFromStream(stream);
}

// ---- Paragraphs ----

std::string TParaStrings::Get(std::int32_t index) {
    return memo_.ParagraphText(index);
}

std::int32_t TParaStrings::Count() {
    const std::int32_t count = memo_.ParagraphCount();
    return memo_.ParagraphAt(count - 1)->length == 0 ? count - 1 : count;
}

void TParaStrings::Put(std::int32_t index, std::string_view text) {
    memo_.SetParagraph(index, text);
}

std::int32_t TParaStrings::Add(std::string_view text) {
    const std::int32_t count = memo_.ParagraphCount();
    if (memo_.ParagraphAt(count - 1)->length == 0)
        memo_.SetParagraph(count - 1, std::string(text) + "\r\n");
    else
        memo_.SetParagraph(count, text);
    return memo_.ParagraphCount() - 1;
}

void TParaStrings::Delete(std::int32_t index) {
    const ParagraphInfo* p = memo_.Paragraph(index);
    memo_.SetSelStart(memo_.StartAt(index));
    memo_.SetSelLength(p->length + (index < memo_.ParagraphCount() - 1 ? 2 : 0));
    memo_.Replace({});
}

void TParaStrings::Insert(std::int32_t index, std::string_view text) {
    if (index >= memo_.ParagraphCount()) {
        memo_.SetSelStart(memo_.TextLength());
        memo_.Replace("\r\n" + std::string(text));
    } else {
        memo_.SetSelStart(memo_.ParagraphStart(index));
        memo_.Replace(std::string(text) + "\r\n");
    }
}

// ---- Display lines ----

std::string TLinesStrings::Get(std::int32_t index) {
    return memo_.DisplayLineText(index);
}

std::int32_t TLinesStrings::Count() {
    const std::int32_t count = memo_.ParagraphCount();
    const ParagraphInfo* p = memo_.ParagraphAt(count - 1);
    TLinesList view(const_cast<ParagraphInfo*>(p));
    const LineInfo* last = view.At(p->lineCount - 1);
    return memo_.LineCount() - (last->end == last->start ? 1 : 0);
}

void TLinesStrings::Put(std::int32_t index, std::string_view text) {
    if (index < 0 || index >= memo_.LineCount()) return;
    TNavigator& nav = memo_.work_;
    memo_.SeekDisplayLine(nav, index, TLineSeek::Exact);
    if (nav.LineNumber() != index) return;
    const LineInfo* line = nav.Lines().At(nav.LineInParagraph());
    const std::int32_t start = nav.Position(), length = line->end - line->start;
    memo_.SetSelStart(start);
    memo_.SetSelLength(length);
    memo_.Replace(text);
}

std::int32_t TLinesStrings::Add(std::string_view text) {
    memo_.Paragraphs().Add(text);
    memo_.SetSelStart(memo_.TextLength());
    if (memo_.Host()) memo_.Host()->ScrollCaretIntoView();
    return memo_.LineCount() - 1;
}

void TLinesStrings::Delete(std::int32_t index) {
    if (index < 0 || index >= Count()) return;
    TNavigator& nav = memo_.work_;
    memo_.SeekDisplayLine(nav, index, TLineSeek::Exact);
    if (nav.LineNumber() != index) return;
    const std::int32_t k = nav.LineInParagraph();
    const LineInfo* line = nav.Lines().At(k);
    const std::int32_t start = nav.Position();
    std::int32_t length = line->end - line->start;
    if (k == nav.Paragraph()->lineCount - 1) length += 2; // and the line break
    memo_.SetSelStart(start);
    memo_.SetSelLength(length);
    memo_.Replace({});
}

void TLinesStrings::Insert(std::int32_t index, std::string_view text) {
    if (index < 0 || index > memo_.LineCount()) return;
    if (index == memo_.LineCount()) {
        memo_.SetSelStart(memo_.TextLength());
        memo_.Replace("\r\n" + std::string(text));
        return;
    }
    TNavigator& nav = memo_.work_;
    memo_.SeekDisplayLine(nav, index, TLineSeek::Exact);
    memo_.SetSelStart(nav.Position());
    memo_.Replace(std::string(text) + "\r\n");
}

} // namespace lorvane
