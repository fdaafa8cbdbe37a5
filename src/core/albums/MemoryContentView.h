#pragma once
// A content list kept in memory: what a headless caller (the command-line tool, the tests)
// gives the album model in place of the window's icon list.

#include <vector>

#include "core/albums/AlbumContentView.h"

namespace vantrel {

class MemoryContentView : public AlbumContentView {
public:
    struct Item {
        int imageIndex = -1;
        std::string caption;
        bool selected = false;
    };

    int ItemCount() const override { return static_cast<int>(items_.size()); }
    int ItemImageIndex(int item) const override { return items_.at(static_cast<std::size_t>(item)).imageIndex; }
    bool ItemSelected(int item) const override { return items_.at(static_cast<std::size_t>(item)).selected; }
    void Clear() override { items_.clear(); }
    void AddItem(int imageIndex, const std::string& caption) override { items_.push_back({imageIndex, caption, false}); }
    void DeleteItem(int item) override { items_.erase(items_.begin() + item); }
    void SelectOnly(int item) override {
        for (auto& each : items_) each.selected = false;
        items_.at(static_cast<std::size_t>(item)).selected = true;
    }
    void SetItemCaption(int item, const std::string& caption) override {
        items_.at(static_cast<std::size_t>(item)).caption = caption;
    }

    // The user's side: selecting items by hand.
    void SetSelected(int item, bool selected) { items_.at(static_cast<std::size_t>(item)).selected = selected; }
    const std::vector<Item>& Items() const { return items_; }

private:
    std::vector<Item> items_;
};

}  // namespace vantrel
