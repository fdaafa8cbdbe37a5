#include "gui/browse/ThumbItem.h"

#include <QFileInfo>

#include "gui/browse/NaturalOrder.h"

namespace vantrel::gui {

ThumbItem::ThumbItem(const QString& caption, const QIcon& tile, int rank, const QString& path)
    : QListWidgetItem(tile, caption, nullptr, QListWidgetItem::UserType), rank_(rank) {
    setData(PathRole, path);
    setData(WidthRole, 0);
    setData(HeightRole, 0);
    setData(ListedRole, false);
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

bool ThumbItem::operator<(const QListWidgetItem& other) const {
    if (other.type() == QListWidgetItem::UserType) return rank_ < static_cast<const ThumbItem&>(other).rank_;
    return NaturallyBefore(QFileInfo(Path()).fileName(), other.text());
}

QString DisplayCaption(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

}  // namespace vantrel::gui
