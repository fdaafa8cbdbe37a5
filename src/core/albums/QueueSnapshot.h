#pragma once
// A copy of the queue's albums and photos for a run on a thread of its own: the run walks it and
// takes sent photos off it, while the user keeps changing the queue itself on the window's thread
// (TransferClaims says what the run may still send).

#include "core/albums/TAlbumList.h"
#include "core/albums/MemoryContentView.h"

namespace vantrel {

class QueueSnapshot {
public:
    explicit QueueSnapshot(const TAlbumList& queue);
    QueueSnapshot(const QueueSnapshot&) = delete;
    QueueSnapshot& operator=(const QueueSnapshot&) = delete;

    TAlbumList& Albums() { return albums_; }

private:
    MemoryContentView view_;  // nobody sees the copy
    TAlbumList albums_;
};

}  // namespace vantrel
