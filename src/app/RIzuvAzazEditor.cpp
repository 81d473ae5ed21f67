#include "app/RIzuvAzazEditor.h"

#include "app/CommandProgress.h"
#include "app/EditorFactory.h"
#include "editor/model/TextViews.h"
#include "editor/model/UpperCase.h"
#include "editor/view/RIzuvAzaz.h"
#include "editor/view/RIzuvAzazInput.h"
#include "platform/CodePageTables.h"
#include "syntax/SyntaxHighlighter.h"

#include <QColor>

#include <QMenu> // the input handler keeps a guarded pointer to its menu

#include <algorithm>

namespace lorvane {
namespace {

// The document window's options; auto-indent switches the last two.
constexpr RIzuvAzazOptions kDocumentOptions = rzoKeepColumnPos | rzoWrapCaret | rzoInsertKeyActive |
                                              rzoWideOverwriteCaret | rzoLargeWordSelect |
                                              rzoAutoScrollBars;
constexpr RIzuvAzazOptions kIndentOptions = rzoAutoIndent | rzoBackIndent;

bool IsLight(TColor background) {
    const QColor c = ToQColor(background);
    return c.isValid() && IsLightBackground(static_cast<std::uint8_t>(c.red()),
                                            static_cast<std::uint8_t>(c.green()),
                                            static_cast<std::uint8_t>(c.blue()));
}

} // namespace

TRIzuvAzazEditor::TRIzuvAzazEditor() {
    auto control = std::make_unique<RIzuvAzaz>();
    control_ = control.get();
    // The document window's stored control.
    control_->SetScrollBars(ssBoth);
    control_->SetAltFont(LogicalFont{"MS Sans Serif", 11, 8, 0, false});
    control_->SetCaretWidth(2);
    control_->SetEndOfTextMark(TPen{clGray, 1, psClear});
    control_->SetNullReplacement('\0');
    control_->SetOptions(kDocumentOptions | kIndentOptions);
    control_->SetOverwrite(false);
    control_->SetSeparators(" ,.:;");
    control_->SetUndoMaxSpace(65536);
    control_->SetColor(clInactiveCaptionText);
    control_->SetFont(LogicalFont{"System", 13, 10, 0, true});
    control_->SetFontColor(clAqua);
    // Finding without regard to case folds Russian letters too, as the
    // frame's replace does when it compares the selection; under the DOS
    // font the letters are code page 866 bytes and fold by that page.
    static const bool dosCaseInstalled = [] {
        SetUserUpperCase([](char* text, std::size_t length) {
            for (std::size_t i = 0; i < length; ++i)
                text[i] = static_cast<char>(cp::UpperCase866(static_cast<unsigned char>(text[i])));
        });
        return true;
    }();
    (void)dosCaseInstalled;
    control_->SetUpperCaseType(rzuAnsi);
    // The control owns its keyboard handling; every typed character passes
    // the document window's handler first.
    auto& input = control_->AdoptInputHandler(std::make_unique<TInputHandler>(*control_));
    input.Keyboard().OnKeyPress = [this](unsigned char& key) {
        if (OnKeyPress) OnKeyPress(key);
    };
    input.Mouse().OnDblClick = [this] {
        if (OnDoubleClick) OnDoubleClick();
    };
    // Loading and saving a huge text report their progress to the frame's
    // command; other events may run only while the control paints and lays
    // out nothing, inside an update bracket.
    control_->OnProgress = [control = control_.data()] {
        TCommandProgress::Report(control->Model().ProgressPercent(),
                                 control->Model().UpdateCount() > 0);
    };
    control.release(); // owned by the document window from now on
}

TRIzuvAzazEditor::~TRIzuvAzazEditor() {
    // A control never placed in a window still has no owner but us.
    if (control_ && control_->parent() == nullptr)
        std::unique_ptr<RIzuvAzaz>(control_.data()).reset();
}

QWidget* TRIzuvAzazEditor::Widget() {
    return control_;
}
std::string TRIzuvAzazEditor::Text() {
    return control_->Text();
}
void TRIzuvAzazEditor::SetText(std::string_view text) {
    control_->SetText(text);
}
void TRIzuvAzazEditor::ExchangeBytes(const std::array<unsigned char, 256>& table) {
    if (!control_->ExchangeBytes(table)) TDocumentEditor::ExchangeBytes(table);
}
void TRIzuvAzazEditor::ConvertLines(void (*convert)(std::string_view, std::string&)) {
    control_->ConvertParagraphs(convert);
}
std::int32_t TRIzuvAzazEditor::TextLength() {
    return control_->TextLength();
}
std::int32_t TRIzuvAzazEditor::LineCount() {
    return control_->Lines().Count();
}
void TRIzuvAzazEditor::LoadFromStream(TStream& stream) {
    control_->Lines().LoadFromStream(stream);
}
void TRIzuvAzazEditor::SaveToStream(TStream& stream) {
    control_->Lines().SaveToStream(stream);
}
// The two enumerations list the styles in the same order.
static_assert(static_cast<int>(TBreakStyle::LFCR) == pbLFCR &&
              static_cast<int>(TBreakStyle::CR) == pbCR &&
              static_cast<int>(TBreakStyle::LF) == pbLF);
TBreakStyle TRIzuvAzazEditor::LineBreak() const {
    return static_cast<TBreakStyle>(control_->LineBreak());
}
void TRIzuvAzazEditor::SetLineBreak(TBreakStyle style) {
    control_->SetLineBreak(static_cast<TLineBreak>(style));
}
bool TRIzuvAzazEditor::Modified() const {
    return control_->Modified();
}
void TRIzuvAzazEditor::SetModified(bool on) {
    control_->SetModified(on);
}
bool TRIzuvAzazEditor::CanUndo() const {
    return control_->CanUndo();
}
bool TRIzuvAzazEditor::CanRedo() const {
    return control_->CanRedo();
}
bool TRIzuvAzazEditor::HasSelection() {
    return control_->SelLength() != 0;
}
bool TRIzuvAzazEditor::ReadOnly() const {
    return control_->ReadOnly();
}
void TRIzuvAzazEditor::SetReadOnly(bool on) {
    control_->SetReadOnly(on);
}
std::int32_t TRIzuvAzazEditor::CaretLine() {
    return control_->CaretLine();
}
std::int32_t TRIzuvAzazEditor::CaretColumn() {
    return control_->CaretColumn();
}
LogicalFont TRIzuvAzazEditor::Font() const {
    return control_->Font();
}
void TRIzuvAzazEditor::SetFont(const LogicalFont& font) {
    control_->SetFont(font);
    control_->SetUpperCaseType(IsTerminalFont(font.name) ? rzuUserDefined : rzuAnsi);
}
TColor TRIzuvAzazEditor::FontColor() const {
    return control_->FontColor();
}
void TRIzuvAzazEditor::SetFontColor(TColor color) {
    control_->SetFontColor(color);
}
TColor TRIzuvAzazEditor::Color() const {
    return control_->Color();
}
void TRIzuvAzazEditor::SetColor(TColor color) {
    const bool wasLight = IsLight(control_->Color());
    control_->SetColor(color);
    // Colours made for a dark background are unreadable on a light one.
    if (syntax_ && IsLight(color) != wasLight) ApplyHighlighting();
}
bool TRIzuvAzazEditor::HasFocus() const {
    return control_->hasFocus();
}

// ---- Build tools ----
void TRIzuvAzazEditor::PutCaret(std::int32_t line, std::int32_t column) {
    control_->GoToDisplayLine(line);
    control_->SetCaretColumn(column);
    control_->ScrollInView();
}
void TRIzuvAzazEditor::ScrollCaretIntoView() {
    control_->ScrollInView();
}
std::int32_t TRIzuvAzazEditor::ParagraphCount() {
    return control_->ParagraphCount();
}
std::int32_t TRIzuvAzazEditor::CaretParagraph() {
    return control_->CaretParagraph();
}
std::string TRIzuvAzazEditor::ParagraphText(std::int32_t index) {
    return control_->Paragraphs().Get(index);
}
void TRIzuvAzazEditor::GoToParagraph(std::int32_t index) {
    control_->GoToParagraph(index);
    control_->ScrollInView();
}
// ---- Text commands ----
void TRIzuvAzazEditor::CutToClipboard() {
    control_->CutToClipboard();
}
void TRIzuvAzazEditor::CopyToClipboard() {
    control_->CopyToClipboard();
}
void TRIzuvAzazEditor::PasteFromClipboard() {
    control_->PasteFromClipboard();
}
void TRIzuvAzazEditor::Undo() {
    control_->Undo();
}
void TRIzuvAzazEditor::Redo() {
    control_->Redo();
}
void TRIzuvAzazEditor::SelectAll() {
    control_->SelectAll();
}
std::string TRIzuvAzazEditor::LineText(std::int32_t index) {
    return control_->Lines().Get(index);
}
void TRIzuvAzazEditor::SetLineText(std::int32_t index, std::string_view text) {
    control_->Lines().Put(index, text);
}
void TRIzuvAzazEditor::DeleteLine(std::int32_t index) {
    control_->Lines().Delete(index);
}
std::vector<std::string> TRIzuvAzazEditor::DisplayLines() {
    // Seeking each line from the top would make a long text quadratic: what
    // is not laid out yet is laid out once, then the paragraphs are walked.
    // The layout goes in slices, with the window's events let run between
    // them: a huge text takes seconds, and the text is whole at each stop.
    RIzuvAzazModel& model = control_->Model();
    const std::int32_t paragraphs = model.ParagraphCount();
    constexpr std::int32_t kSlice = 16384;
    for (std::int32_t from = 0; from < paragraphs; from += kSlice) {
        model.LayoutRange(from, std::min(from + kSlice, paragraphs) - 1, false);
        TCommandProgress::Report(
            static_cast<int>(static_cast<std::int64_t>(from) * 80 / paragraphs));
    }
    const auto count = static_cast<std::size_t>(std::max(control_->Lines().Count(), 0));
    std::vector<std::string> lines;
    lines.reserve(count);
    for (std::int32_t i = 0; i < model.ParagraphCount() && lines.size() < count; ++i) {
        if (i % kSlice == 0)
            TCommandProgress::Report(
                80 + static_cast<int>(static_cast<std::int64_t>(i) * 20 / model.ParagraphCount()));
        ParagraphInfo* paragraph = model.ParagraphAt(i);
        const TLinesList view(paragraph);
        for (std::int32_t k = 0; k < view.Count() && lines.size() < count; ++k) {
            const LineInfo* line = view.At(k);
            if (paragraph->text == nullptr)
                lines.emplace_back();
            else
                lines.emplace_back(paragraph->text + line->start,
                                   static_cast<std::size_t>(line->end - line->start));
        }
    }
    return lines;
}
void TRIzuvAzazEditor::BeginUpdate() {
    control_->Lines().BeginUpdate();
}
void TRIzuvAzazEditor::EndUpdate() {
    control_->Lines().EndUpdate();
}
void TRIzuvAzazEditor::ToggleBold() {
    control_->ToggleBold();
}
void TRIzuvAzazEditor::ToggleItalic() {
    control_->ToggleItalic();
}
void TRIzuvAzazEditor::ToggleUnderline() {
    control_->ToggleUnderline();
}
unsigned TRIzuvAzazEditor::CaretStyle() {
    // The control's style byte uses the same low bits as the font styles.
    return control_->CaretStyle() & (fsBold | fsItalic | fsUnderline);
}
bool TRIzuvAzazEditor::AutoIndent() const {
    return (control_->Options() & rzoAutoIndent) != 0;
}
void TRIzuvAzazEditor::SetAutoIndent(bool on) {
    control_->SetOptions(on ? kDocumentOptions | kIndentOptions : kDocumentOptions);
}
bool TRIzuvAzazEditor::FindText(std::string_view text, bool forward, bool matchCase,
                                bool wholeWord) {
    return control_->FindText(text, forward, matchCase, wholeWord);
}
std::string TRIzuvAzazEditor::SelText() {
    return control_->SelText();
}
void TRIzuvAzazEditor::SetSelText(std::string_view text) {
    control_->SetSelText(text);
}
std::int32_t TRIzuvAzazEditor::SelStart() {
    return control_->SelStart();
}
std::int32_t TRIzuvAzazEditor::SelLength() {
    return control_->SelLength();
}
void TRIzuvAzazEditor::SetSelStart(std::int32_t position) {
    control_->SetSelStart(position);
}
void TRIzuvAzazEditor::SetSelLength(std::int32_t length) {
    control_->SetSelLength(length);
}

// ---- Highlighting ----
void TRIzuvAzazEditor::SetHighlighting(std::shared_ptr<const TSyntax> syntax,
                                       const TColourScheme& userColours) {
    if (syntax == syntax_ && userColours == userColours_) return;
    syntax_ = std::move(syntax);
    userColours_ = userColours;
    ApplyHighlighting();
}

void TRIzuvAzazEditor::ApplyHighlighting() {
    RIzuvAzaz& control = *control_;
    control.SetHighlighter(nullptr);
    highlighter_.reset();
    if (syntax_) {
        highlighter_ =
            BuildHighlighting(*syntax_, SchemeFor(IsLight(control.Color()), userColours_),
                              control.Keywords(), control.StartStopKeys());
        control.Highlighting().SetHighlightSeparators(syntax_->Separators());
        control.SetHighlighter(highlighter_.get());
    } else {
        control.Keywords().Clear();
        control.StartStopKeys().Clear();
    }
    // What is not shown yet is highlighted by the background layout.
    control.ResetHighlighting();
}

EditorFactory DocumentEditors() {
    return [] { return std::make_unique<TRIzuvAzazEditor>(); };
}

} // namespace lorvane
