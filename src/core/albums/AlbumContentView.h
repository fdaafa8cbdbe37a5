#pragma once
// What the album model needs of the list that shows the current album's photos as tiles.
// The gui implements it over its icon list; each item carries the image index of its tile
// (the index into the content image list), which is how the model finds a photo from an item.

#include <string>

namespace vantrel {

class AlbumContentView {
public:
    virtual ~AlbumContentView() = default;

    virtual int ItemCount() const = 0;
    // Image index of the item at `item` (0 <= item < ItemCount()).
    virtual int ItemImageIndex(int item) const = 0;
    virtual bool ItemSelected(int item) const = 0;

    // Removes every item.
    virtual void Clear() = 0;
    // Appends an item showing tile `imageIndex` with `caption`.
    virtual void AddItem(int imageIndex, const std::string& caption) = 0;
    // Removes the item at `item` and re-arranges the remaining icons.
    virtual void DeleteItem(int item) = 0;
    // Clears the selection and selects the item at `item`.
    virtual void SelectOnly(int item) = 0;
    virtual void SetItemCaption(int item, const std::string& caption) = 0;
    // The tile `imageIndex` was drawn anew: items showing it repaint it.
    virtual void RefreshTile(int imageIndex) { (void)imageIndex; }

    // Position of the first item showing tile `imageIndex`, or -1.
    int FindItem(int imageIndex) const {
        for (int i = 0; i < ItemCount(); ++i)
            if (ItemImageIndex(i) == imageIndex) return i;
        return -1;
    }
    int SelectedCount() const {
        int count = 0;
        for (int i = 0; i < ItemCount(); ++i) count += ItemSelected(i) ? 1 : 0;
        return count;
    }
};

}  // namespace vantrel
