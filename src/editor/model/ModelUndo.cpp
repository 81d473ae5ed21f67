// Undo and Redo replay stored records through Replace; the replay writes the
// reverse change into the slot of the record it replays.
#include "editor/model/RIzuvAzazModel.h"

namespace lorvane {

// A grouped step replays several records; the text between them may be out
// of style balance (half of a removed code pair), so the whole step runs in
// one update bracket and is laid out once, when it is complete.
void RIzuvAzazModel::Undo() {
    if (!undo_.CanUndo()) return;
    BeginUpdate();
    try {
        UndoStep();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    if (host_) host_->ScrollCaretIntoView();
}

void RIzuvAzazModel::Redo() {
    if (!undo_.CanRedo()) return;
    BeginUpdate();
    try {
        RedoStep();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    if (host_) host_->ScrollCaretIntoView();
}

void RIzuvAzazModel::UndoStep() {
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

void RIzuvAzazModel::RedoStep() {
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
