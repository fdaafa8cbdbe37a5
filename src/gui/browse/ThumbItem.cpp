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
    // As the platform's word sort does: letters first without regard to case, case breaking ties.
    static thread_local const QCollator caseless = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    static thread_local const QCollator exact;
    const int order = caseless.compare(text(), other.text());
    return order != 0 ? order < 0 : exact.compare(text(), other.text()) < 0;
}

QString DisplayCaption(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

}  // namespace vantrel::gui
