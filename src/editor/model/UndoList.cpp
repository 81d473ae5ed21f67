#include "editor/model/UndoList.h"

#include "platform/Error.h"

namespace lorvane {

void TUndoList::DeleteAt(std::int32_t index) noexcept {
    bytes_ -= records_[static_cast<std::size_t>(index)]->Size();
    records_.erase(records_.begin() + index);
    if (index < level_) --level_;
}

void TUndoList::TrimToSpace(std::int64_t limit) noexcept {
    while (bytes_ > limit && Count() > level_)
        DeleteAt(Count() - 1);
    while (bytes_ > limit && Count() > 0)
        DeleteAt(0);
}

void TUndoList::SetMaxLevel(std::int32_t value) {
    if (value > kMaxLevelLimit) throw Error("Undo set too high");
    if (value < 0) value = 0;
    const std::int32_t keep = value > level_ ? value : level_;
    while (Count() > keep)
        DeleteAt(Count() - 1);
    while (value < level_)
        DeleteAt(0);
    maxLevel_ = value;
}

void TUndoList::SetMaxSpace(std::int32_t value) {
    TrimToSpace(value);
    maxSpace_ = value;
}

void TUndoList::Clear() noexcept {
    records_.clear();
    level_ = 0;
    bytes_ = 0;
}

void TUndoList::DropRedo() noexcept {
    while (Count() > level_)
        DeleteAt(Count() - 1);
}

bool TUndoList::TryExtendGroup(std::int32_t caret, std::int32_t inserted) noexcept {
    if (groupEnded || level_ == 0) return false;
    UndoRecord& last = At(level_ - 1);
    if (last.stop != caret || last.start == caret) return false;
    last.stop = caret + inserted;
    return true;
}

void TUndoList::Record(std::int32_t start, std::int32_t inserted, std::string removed,
                       std::int32_t slot, bool grouped) {
    if (static_cast<std::int64_t>(removed.size()) + 13 > kMaxRecordSize) {
        Clear();
        removed.resize(static_cast<std::size_t>(kMaxRecordSize - 13));
        slot = -1;
    }
    auto record = std::make_unique<UndoRecord>();
    record->start = start;
    record->stop = start + inserted;
    record->grouped = grouped;
    record->text = std::move(removed);
    bytes_ += record->Size();
    if (slot >= 0 && slot < Count()) {
        bytes_ -= At(slot).Size();
        records_[static_cast<std::size_t>(slot)] = std::move(record);
    } else {
        if (level_ < Count()) {
            bytes_ -= At(level_).Size();
            records_[static_cast<std::size_t>(level_)] = std::move(record);
        } else {
            records_.push_back(std::move(record));
        }
        ++level_;
    }
    TrimToSpace(maxSpace_);
}

} // namespace lorvane
