#pragma once
// The undo store of the retouch dialog (the dialog keeps two: undo and redo): up to n snapshots
// of the photo, newest first, the oldest dropped silently when an n + 1st arrives.
//
// Snapshots are kept compactly: an opaque photo is stored at 3 bytes a pixel, and the photo is
// cut into bands of rows, a band equal to the same band of the newest snapshot being shared
// rather than stored again, so a red-eye correction or a title costs little more than the rows
// it touched.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "core/imaging/Bitmap32.h"

namespace vantrel {

class TBitmap32Undo {
public:
    static constexpr int kDefaultLevels = 10;

    TBitmap32Undo() : TBitmap32Undo(kDefaultLevels) {}
    explicit TBitmap32Undo(int levels);

    // Keeps a snapshot of `photo` as the newest; when the store is full the oldest is dropped.
    void Save(const Bitmap32& photo);

    // Whether a snapshot is held.
    bool CanRestore() const { return !slots_.empty(); }

    // Replaces `photo` by the newest snapshot and forgets that snapshot. Returns false, changing
    // nothing, when the store is empty (the dialog then sounds the default beep).
    bool Restore(Bitmap32& photo);

    // Forgets every snapshot.
    void Clear() { slots_.clear(); }

    int Levels() const { return levels_; }
    int Count() const { return int(slots_.size()); }

    // The bytes of pixel data held, each shared band counted once.
    std::size_t BytesHeld() const;

private:
    using Band = std::shared_ptr<const std::vector<std::uint8_t>>;
    struct Snapshot {
        int width = 0;
        int height = 0;
        bool opaque = true;  // alpha 255 everywhere: stored without the alpha byte
        std::vector<Band> bands;
    };

    Snapshot Pack(const Bitmap32& photo, const Snapshot* newest) const;
    static void Unpack(const Snapshot& snapshot, Bitmap32& photo);

    int levels_;
    std::deque<Snapshot> slots_;  // front: slot 0, the newest
};

}  // namespace vantrel
