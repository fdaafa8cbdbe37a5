#pragma once
// An item of the thumbnail list: the caption, the file's path, width and height as the header
// gave them, and its place in the folder's natural order. Its picture is shown while the row is
// near the screen (ThumbListTiles); until its tile first came, the caption is the name alone.

#include <QListWidgetItem>

namespace vantrel::gui {

enum ThumbRole {
    PathRole = Qt::UserRole,    // full path of the file
    WidthRole = Qt::UserRole + 1,
    HeightRole = Qt::UserRole + 2,
    ListedRole = Qt::UserRole + 3,  // true once the tile came with the caption's data
};

class ThumbItem : public QListWidgetItem {
public:
    // `rank` is the item's place in the listing, which is sorted already.
    ThumbItem(const QString& caption, const QIcon& tile, int rank, const QString& path);

    QString Path() const { return data(PathRole).toString(); }
    int PhotoWidth() const { return data(WidthRole).toInt(); }
    int PhotoHeight() const { return data(HeightRole).toInt(); }
    bool Listed() const { return data(ListedRole).toBool(); }

    // Items keep the listing's order (names in the natural order of the user's language), whatever
    // their captions show.
    bool operator<(const QListWidgetItem& other) const override;

private:
    int rank_;
};

// The caption shown under a tile: the caption text with its carriage returns as line breaks.
QString DisplayCaption(const std::string& caption);

}  // namespace vantrel::gui
