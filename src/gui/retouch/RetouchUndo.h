#pragma once
// Undo and redo of the retouch dialog: an undo store and a redo store of photo snapshots (ten
// each, the oldest dropped) behind a QUndoStack, whose canUndoChanged and canRedoChanged signals
// enable the dialog's undo and redo commands. Each command of the stack stands for one snapshot:
// its undo keeps the photo on the redo store and takes the newest undo snapshot back, its redo
// the other way round. A new step keeps the redo snapshots (until the photo is left), which a
// QUndoStack alone would drop; the stack is then laid out again to hold one command per snapshot.

#include <QObject>
#include <QUndoStack>

#include "core/imaging/Bitmap32.h"
#include "core/retouch/TBitmap32Undo.h"

namespace vantrel::gui {

class RetouchUndo : public QObject {
    Q_OBJECT
public:
    // Undo and redo act on `photo`, which outlives this object.
    RetouchUndo(Bitmap32& photo, QObject* parent);

    const QUndoStack& Stack() const { return stack_; }

    // Keeps the photo as the newest undo step.
    void SaveStep();
    // Puts the newest undo step back into the photo and forgets it, without a redo step.
    bool DropStep();
    // Undo and redo; false, changing nothing, when there is no step.
    bool Undo();
    bool Redo();
    // Forgets every step (the photo is left).
    void Clear();

private:
    class Step;
    // Gives the stack one command per snapshot of each store.
    void FollowStores();

    Bitmap32& photo_;
    TBitmap32Undo undoStore_{TBitmap32Undo::kDefaultLevels};
    TBitmap32Undo redoStore_{TBitmap32Undo::kDefaultLevels};
    QUndoStack stack_;
    bool layingOut_ = false;  // the commands do nothing while the stack is laid out again
};

}  // namespace vantrel::gui
