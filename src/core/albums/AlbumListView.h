#pragma once
// What the album model tells the album panels. The gui keeps one panel per TAlbum (keyed by
// the album's address) and implements these; every default does nothing.

namespace vantrel {

class TAlbum;
class TAlbumList;

class AlbumListView {
public:
    virtual ~AlbumListView() = default;

    // A new album: make its panel (icon 0 for kind 0, icon 1 for kind 1), set its name and count
    // label, register it as a drop target and show it. Its place follows in AlbumsRestacked.
    virtual void AlbumCreated(TAlbum&) {}
    // The album is about to be freed: revoke its drop target and remove its panel.
    virtual void AlbumDestroying(TAlbum&) {}
    // The albums were sorted: stack the panels top to bottom in the list's order.
    virtual void AlbumsRestacked(TAlbumList&) {}
    // IsCurrent changed: icon 1 while current, icon 0 otherwise.
    virtual void AlbumCurrentChanged(TAlbum&) {}
    // The number of photos changed: refresh the count label.
    virtual void AlbumCountChanged(TAlbum&) {}
    // The model changed the name (cleaned or cut): show AlbumName() in the name field.
    virtual void AlbumNameChanged(TAlbum&) {}
    // IsHighlighted changed: draw the grey drop frame, or remove it by drawing it in white.
    virtual void AlbumHighlightChanged(TAlbum&) {}
};

}  // namespace vantrel
