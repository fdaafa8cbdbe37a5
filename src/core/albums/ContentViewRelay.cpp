#include "core/albums/ContentViewRelay.h"

#include <vector>

namespace vantrel {

void ContentViewRelay::Attach(AlbumContentView* view) {
    if (view == view_) return;
    // The items as they stand; a view gives no captions back, so items leaving one have none.
    std::vector<MemoryContentView::Item> items;
    AlbumContentView& from = Target();
    for (int i = 0; i < from.ItemCount(); ++i)
        items.push_back({from.ItemImageIndex(i), view_ ? std::string() : memory_.Items()[static_cast<std::size_t>(i)].caption,
                         from.ItemSelected(i)});
    from.Clear();
    view_ = view;
    AlbumContentView& to = Target();
    to.Clear();
    int firstSelected = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        to.AddItem(items[i].imageIndex, items[i].caption);
        if (firstSelected < 0 && items[i].selected) firstSelected = static_cast<int>(i);
    }
    if (firstSelected >= 0) to.SelectOnly(firstSelected);
}

}  // namespace vantrel
