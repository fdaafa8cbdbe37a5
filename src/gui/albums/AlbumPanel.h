#pragma once
// The panel of one album in the album column: its icon (a green star while current), its name
// in an edit field, the count of its photos, and a grey frame while it is a drop target.

#include <QFrame>

class QLabel;
class QLineEdit;
class QMimeData;

namespace vantrel {
class TAlbum;
}

namespace vantrel::gui {

class AlbumPanel : public QFrame {
    Q_OBJECT
public:
    AlbumPanel(TAlbum& album, QWidget* parent);

    TAlbum& Album() const { return album_; }
    QLineEdit* NameEdit() const { return AlbumName_Edit; }
    QLabel* CountLabel() const { return AlbumNum_Lbl; }
    bool IsEditingName() const { return editing_; }

    void ShowCurrent(bool current);
    void ShowName();
    void ShowCount(const QString& text);
    void ShowHighlight(bool highlighted);

    // Enters name editing (white field, focus, whole text selected); nothing while editing.
    // The palette of the widget that holds the panels: light blue behind them, navy texts, and
    // name fields through which the white panel shows.
    static QPalette HolderPalette(QPalette palette);
    void BeginNameEdit();
    // Gives the focus back to the field after a refused name, text selected.
    void ResumeNameEdit();

signals:
    void clicked(AlbumPanel* panel);
    void nameEditBegun(AlbumPanel* panel);
    void nameEditEnded(AlbumPanel* panel, const QString& text);
    void tilesDropped(AlbumPanel* panel);
    void filesDropped(AlbumPanel* panel, const QStringList& files);
    void dragEntered(AlbumPanel* panel, bool tiles);
    void dragLeft(AlbumPanel* panel);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AcceptsTiles(const QMimeData* data) const;

    TAlbum& album_;
    QLabel* Album_Img;
    QLineEdit* AlbumName_Edit;
    QLabel* AlbumNum_Lbl;
    bool editing_ = false;
    bool highlighted_ = false;
};

}  // namespace vantrel::gui
