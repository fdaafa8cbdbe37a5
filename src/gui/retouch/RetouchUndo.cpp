#include "gui/retouch/RetouchUndo.h"

#include <QScopedValueRollback>
#include <QUndoCommand>

namespace vantrel::gui {

class RetouchUndo::Step : public QUndoCommand {
public:
    explicit Step(RetouchUndo& owner) : owner_(owner) {}

    void undo() override {
        if (owner_.layingOut_) return;
        owner_.redoStore_.Save(owner_.photo_);
        owner_.undoStore_.Restore(owner_.photo_);
    }
    void redo() override {
        if (owner_.layingOut_) return;
        owner_.undoStore_.Save(owner_.photo_);
        owner_.redoStore_.Restore(owner_.photo_);
    }

private:
    RetouchUndo& owner_;
};

RetouchUndo::RetouchUndo(Bitmap32& photo, QObject* parent) : QObject(parent), photo_(photo) {
    // The stores drop their oldest snapshots; the stack follows them, so it has no limit of its own.
    stack_.setUndoLimit(0);
}

void RetouchUndo::SaveStep() {
    undoStore_.Save(photo_);
    FollowStores();
}

bool RetouchUndo::DropStep() {
    const bool restored = undoStore_.Restore(photo_);
    FollowStores();
    return restored;
}

bool RetouchUndo::Undo() {
    if (!stack_.canUndo()) return false;
    stack_.undo();
    FollowStores();
    return true;
}

bool RetouchUndo::Redo() {
    if (!stack_.canRedo()) return false;
    stack_.redo();
    FollowStores();
    return true;
}

void RetouchUndo::Clear() {
    undoStore_.Clear();
    redoStore_.Clear();
    FollowStores();
}

void RetouchUndo::FollowStores() {
    const int undoSteps = undoStore_.Count();
    const int redoSteps = redoStore_.Count();
    if (stack_.index() == undoSteps && stack_.count() - stack_.index() == redoSteps) return;
    QScopedValueRollback quiet(layingOut_, true);
    if (redoSteps == 0 && stack_.index() + 1 == undoSteps && !stack_.canRedo()) {
        stack_.push(new Step(*this));  // the usual new step
        return;
    }
    // A new step beside kept redo steps, a dropped step or a full store: laid out again.
    stack_.clear();
    for (int i = 0; i < undoSteps + redoSteps; ++i) stack_.push(new Step(*this));
    for (int i = 0; i < redoSteps; ++i) stack_.undo();
}

}  // namespace vantrel::gui
