#include "gui/browse/ThumbItem.h"

#include <QCollator>

namespace vantrel::gui {

ThumbItem::ThumbItem(const QString& caption, const QIcon& tile, int imageIndex, const QString& path, int width,
                     int height)
    : QListWidgetItem(tile, caption, nullptr, QListWidgetItem::UserType) {
    setData(PathRole, path);
    setData(WidthRole, width);
    setData(HeightRole, height);
    setData(ImageIndexRole, imageIndex);
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

bool ThumbItem::operator<(const QListWidgetItem& other) const {
    static thread_local const QCollator collator;
    return collator.compare(text(), other.text()) < 0;
}

QString DisplayCaption(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

}  // namespace vantrel::gui
