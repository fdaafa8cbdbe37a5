#pragma once
// An item of the thumbnail list: the caption, the tile's index in the tile list, and the
// file's path, width and height as the header gave them.

#include <QListWidgetItem>

namespace vantrel::gui {

enum ThumbRole {
    PathRole = Qt::UserRole,    // full path of the file
    WidthRole = Qt::UserRole + 1,
    HeightRole = Qt::UserRole + 2,
    ImageIndexRole = Qt::UserRole + 3,
};

class ThumbItem : public QListWidgetItem {
public:
    ThumbItem(const QString& caption, const QIcon& tile, int imageIndex, const QString& path, int width, int height);

    QString Path() const { return data(PathRole).toString(); }
    int PhotoWidth() const { return data(WidthRole).toInt(); }
    int PhotoHeight() const { return data(HeightRole).toInt(); }

    // Captions compare as the user's language sorts them.
    bool operator<(const QListWidgetItem& other) const override;
};

// The caption shown under a tile: the caption text with its carriage returns as line breaks.
QString DisplayCaption(const std::string& caption);

}  // namespace vantrel::gui
