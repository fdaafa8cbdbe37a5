#include "gui/browse/FolderTree.h"

#include <QDir>
#include <memory>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMouseEvent>
#include <QTreeView>

namespace vantrel::gui {

FolderTree::FolderTree(QTreeView* tree) : QObject(tree), tree_(tree) {
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QDir::rootPath());
    tree_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
    tree_->setHeaderHidden(true);
    tree_->setIndentation(19);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setAnimated(false);
    QPalette palette = tree_->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    tree_->setPalette(palette);
    tree_->viewport()->installEventFilter(this);
    // The user's home is where photos usually are: opened, not selected.
    const QModelIndex home = model_->index(QDir::homePath());
    for (QModelIndex i = home.parent(); i.isValid(); i = i.parent()) tree_->expand(i);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) emit folderSelected(model_->filePath(current));
            });
}

QString FolderTree::CurrentPath() const {
    const QModelIndex current = tree_->currentIndex();
    return current.isValid() ? model_->filePath(current) : QString();
}

bool FolderTree::SelectPath(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir()) return false;
    const QModelIndex index = model_->index(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (!index.isValid()) return false;
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    // The model reads folders in the background: scroll again once the parents are read.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(model_, &QFileSystemModel::directoryLoaded, this, [this, once] {
        tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
        disconnect(*once);
    });
    return true;
}

bool FolderTree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            const QModelIndex index = tree_->indexAt(mouse->position().toPoint());
            if (index.isValid()) tree_->setCurrentIndex(index);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantrel::gui
