// Undo and Redo replay stored records through Replace; the replay writes the
// reverse change into the slot of the record it replays.
#include "editor/RIzuvAzazModel.h"

namespace lorvane {

void RIzuvAzazModel::Undo() {
    bool again = true;
    while (again && undo_.CanUndo()) {
        const std::int32_t level = undo_.Level();
        const UndoRecord record = undo_.At(level - 1);
        SetSelStart(record.start);
        SetSelLength(record.stop - record.start);
        undo_.SetLevel(level - 1);
        replaying_ = true;
        replaySlot_ = level - 1;
        replayGrouped_ = record.grouped;
        try {
            Replace(record.text);
        } catch (...) {
            replaying_ = false;
            undo_.SetLevel(level);
            throw;
        }
        replaying_ = false;
        again = record.grouped;
    }
}

void RIzuvAzazModel::Redo() {
    bool again = true;
    while (again && undo_.CanRedo()) {
        const std::int32_t level = undo_.Level();
        const UndoRecord record = undo_.At(level);
        again = level + 1 < undo_.Count() && undo_.At(level + 1).grouped;
        SetSelStart(record.start);
        SetSelLength(record.stop - record.start);
        replaying_ = true;
        replaySlot_ = level;
        replayGrouped_ = record.grouped;
        try {
            Replace(record.text);
        } catch (...) {
            replaying_ = false;
            throw;
        }
        replaying_ = false;
        undo_.SetLevel(level + 1);
    }
}

} // namespace lorvane
