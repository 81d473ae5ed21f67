#pragma once
// The list of reverse-change records behind Undo and Redo: records below the
// level can be undone, those at and above it redone. Each record is charged
// its text length + 13 bytes against the space limit.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lorvane {

struct UndoRecord {
    std::int32_t start = 0;
    std::int32_t stop = 0; // start + length of the text the change inserted
    bool grouped = false;  // undoing it continues with the record before
    std::string text;      // what the change removed
    std::int64_t Size() const noexcept { return static_cast<std::int64_t>(text.size()) + 13; }
};

class TUndoList {
public:
    static constexpr std::int32_t kMaxLevelLimit = 134217727;
    static constexpr std::int64_t kMaxRecordSize = 2147483547;

    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(records_.size()); }
    std::int32_t Level() const noexcept { return level_; }
    std::int64_t BytesInUse() const noexcept { return bytes_; }
    const UndoRecord& At(std::int32_t i) const { return *records_[static_cast<std::size_t>(i)]; }
    UndoRecord& At(std::int32_t i) { return *records_[static_cast<std::size_t>(i)]; }

    bool CanUndo() const noexcept { return level_ >= 1; }
    bool CanRedo() const noexcept { return Count() > level_; }

    std::int32_t MaxLevel() const noexcept { return maxLevel_; }
    std::int32_t MaxSpace() const noexcept { return maxSpace_; }
    // Trim the list to the new limits; "Undo set too high" above the level limit.
    void SetMaxLevel(std::int32_t value);
    void SetMaxSpace(std::int32_t value);

    void Clear() noexcept;
    void DropRedo() noexcept;
    // Extends the last record of a typing group, when the rule allows it.
    bool TryExtendGroup(std::int32_t caret, std::int32_t inserted) noexcept;
    // Records a change made at `start` that inserted `inserted` characters
    // and removed `removed`. In `slot` >= 0 (a replay) the record replaces
    // that one; otherwise it goes at the level, which then rises.
    void Record(std::int32_t start, std::int32_t inserted, std::string removed, std::int32_t slot,
                bool grouped);
    void SetLevel(std::int32_t level) noexcept { level_ = level; }

    bool groupEnded = true; // a move since the last edit ends the typing group

private:
    void DeleteAt(std::int32_t index) noexcept;
    void TrimToSpace(std::int64_t limit) noexcept;

    std::vector<std::unique_ptr<UndoRecord>> records_;
    std::int32_t level_ = 0;
    std::int32_t maxLevel_ = 256;
    std::int32_t maxSpace_ = 65536;
    std::int64_t bytes_ = 0;
};

} // namespace lorvane
