#pragma once
// The content list that the queue is made with when no window exists yet: it keeps the items in
// memory until a view is attached, then hands them over and passes every call on to that view.
// The engine is made before any page this way, and the page's list joins it later.

#include "core/albums/MemoryContentView.h"

namespace vantrel {

class ContentViewRelay : public AlbumContentView {
public:
    // From now on `view` shows the items (null: back to memory). The items held so far move into
    // it, with the first selected one selected; on detaching, the view's items come back.
    void Attach(AlbumContentView* view);
    AlbumContentView* Attached() const { return view_; }

    int ItemCount() const override { return Target().ItemCount(); }
    int ItemImageIndex(int item) const override { return Target().ItemImageIndex(item); }
    bool ItemSelected(int item) const override { return Target().ItemSelected(item); }
    void Clear() override { Target().Clear(); }
    void AddItem(int imageIndex, const std::string& caption) override { Target().AddItem(imageIndex, caption); }
    void DeleteItem(int item) override { Target().DeleteItem(item); }
    void SelectOnly(int item) override { Target().SelectOnly(item); }
    void SetItemCaption(int item, const std::string& caption) override { Target().SetItemCaption(item, caption); }
    void RefreshTile(int imageIndex) override { Target().RefreshTile(imageIndex); }

private:
    AlbumContentView& Target() { return view_ ? *view_ : static_cast<AlbumContentView&>(memory_); }
    const AlbumContentView& Target() const { return view_ ? *view_ : static_cast<const AlbumContentView&>(memory_); }

    MemoryContentView memory_;
    AlbumContentView* view_ = nullptr;
};

}  // namespace vantrel
