#pragma once
// The folder tree of the selection page: the folders of the file system (no files), from the
// root, with the user's home opened; a right click selects, and the selection stays visible
// when the tree loses the focus.

#include <QObject>
#include <QString>

class QFileSystemModel;
class QTreeView;

namespace vantrel::gui {

class FolderTree : public QObject {
    Q_OBJECT
public:
    explicit FolderTree(QTreeView* tree);

    // The folder path of the tree's current node, empty when none.
    QString CurrentPath() const;
    // Selects `path` (opening its parents and scrolling to it); false when it is no folder.
    bool SelectPath(const QString& path);

signals:
    // The selection moved to another folder.
    void folderSelected(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeView* tree_;
    QFileSystemModel* model_;
};

}  // namespace vantrel::gui
