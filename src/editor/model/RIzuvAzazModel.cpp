#include "editor/model/RIzuvAzazModel.h"

#include "editor/model/TextViews.h"
#include "platform/Stream.h"

#include <algorithm>

namespace lorvane {

RIzuvAzazModel::RIzuvAzazModel()
    : paragraphsView_(std::make_unique<TParaStrings>(*this)),
      linesView_(std::make_unique<TLinesStrings>(*this)) {
    SetSeparators(std::string_view("\t $%&,./:;<=>", 13));
}

RIzuvAzazModel::~RIzuvAzazModel() = default;

void RIzuvAzazModel::ClearStore() {
    TTextStore::ClearStore();
    for (TNavigator* n : {&selStart_, &selStop_, &topLine_, &work_, &text_}) {
        n->Invalidate();
        n->position_ = 0;
    }
    caretAtStop_ = false;
    selLength_ = 0;
    undo_.Clear();
}

// ---- Options ----

void RIzuvAzazModel::SetWordWrap(bool on) {
    if (wordWrap_ == on) return;
    wordWrap_ = on;
    RelayoutAll();
}

void RIzuvAzazModel::SetAlignment(TAlignment a) {
    if (alignment_ == a) return;
    alignment_ = a;
    RelayoutAll();
}

void RIzuvAzazModel::SetLeftMargin(std::int32_t v) {
    if (leftMargin_ == v) return;
    leftMargin_ = v;
    RelayoutAll();
}

void RIzuvAzazModel::SetRightMargin(std::int32_t v) {
    if (rightMargin_ == v) return;
    rightMargin_ = v;
    RelayoutAll();
}

void RIzuvAzazModel::SetTabStops(std::int32_t v) {
    if (tabStops_ == v) return;
    tabStops_ = v;
    RelayoutAll();
}

void RIzuvAzazModel::SetBaseFontStyle(std::uint8_t style) {
    if (baseFontStyle_ == style) return;
    baseFontStyle_ = style;
    RelayoutAll();
}

void RIzuvAzazModel::SetStaticFormat(bool on) {
    if (staticFormat_ == on) return;
    // The codes change meaning, so the text is read again under the new rule.
    TStringStream copy;
    SaveToStream(copy);
    staticFormat_ = on;
    copy.SetPosition(0);
    const bool wasModified = modified_;
    LoadFromStream(copy);
    modified_ = wasModified;
}

void RIzuvAzazModel::SetOptions(RIzuvAzazOptions options) {
    if (options == options_) return;
    const bool discardOn =
        (options & rzoDiscardTrailingSpaces) && !HasOption(rzoDiscardTrailingSpaces);
    options_ = options;
    if (discardOn) {
        // Loading again drops the trailing blanks of every line.
        TStringStream copy;
        SaveToStream(copy);
        copy.SetPosition(0);
        const bool wasModified = modified_;
        LoadFromStream(copy);
        modified_ = wasModified;
    }
}

void RIzuvAzazModel::SetUpdateMode(TUpdateMode mode) {
    if (updateMode_ == mode) return;
    updateMode_ = mode;
    if (!host_) return;
    if (mode == umImmediate && layoutTo_ >= 0) {
        LayoutRange(layoutFrom_, layoutTo_, false);
    } else if (mode == umBackground) {
        BackgroundSlice();
    }
}

std::string RIzuvAzazModel::Separators() const {
    std::string out;
    for (int c = 0; c < 256; ++c)
        if (separators_[static_cast<std::size_t>(c)]) out.push_back(static_cast<char>(c));
    return out;
}

void RIzuvAzazModel::SetSeparators(std::string_view chars) {
    separators_.reset();
    for (char c : chars)
        separators_.set(static_cast<unsigned char>(c));
}

// ---- Selection ----

void RIzuvAzazModel::SetSelStart(std::int32_t pos) {
    pos = std::clamp(pos, 0, TextLength());
    selStart_.SetPosition(pos);
    selStop_.Assign(selStart_);
    caretAtStop_ = false;
    selLength_ = 0;
    undo_.groupEnded = true;
    if (host_) host_->UpdateCaret();
}

void RIzuvAzazModel::SetSelLength(std::int32_t length) {
    const std::int32_t caret = Caret().Position();
    const std::int64_t wanted = static_cast<std::int64_t>(caret) + length;
    const std::int32_t anchor =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(wanted, 0, TextLength()));
    if (anchor >= caret) {
        selStart_.SetPosition(caret);
        selStop_.SetPosition(anchor);
        caretAtStop_ = false;
    } else {
        selStop_.SetPosition(caret);
        selStart_.SetPosition(anchor);
        caretAtStop_ = true;
    }
    selLength_ = anchor - caret;
    undo_.groupEnded = true;
    if (host_) host_->UpdateCaret();
}

std::string RIzuvAzazModel::SelText() {
    return GetTextRange(selStart_.Position(), selStop_.Position());
}

void RIzuvAzazModel::SelectAll() {
    SetSelStart(TextLength());
    SetSelLength(-TextLength());
}

std::int32_t RIzuvAzazModel::CaretLine() {
    return Caret().LineNumber();
}

void RIzuvAzazModel::FireProgress(std::int32_t percent) {
    progress_ = percent;
    if (OnProgress) OnProgress();
}

} // namespace lorvane
