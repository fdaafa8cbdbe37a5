#include "gui/albums/AlbumPanel.h"
#include "gui/app/LightPanel.h"

#include <QDragEnterEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPalette>

#include "core/albums/TAlbum.h"
#include "gui/albums/ContentListWidget.h"

namespace vantrel::gui {

namespace {
const char* const kNameStyle = "QLineEdit { border: none; background: %1; color: navy; }";
}

AlbumPanel::AlbumPanel(TAlbum& album, QWidget* parent) : QFrame(parent), album_(album) {
    setObjectName(QString("Elt_%1").arg(reinterpret_cast<quintptr>(this)));
    setFixedHeight(48);
    setMinimumWidth(198);
    SetLightPanel(this, Qt::white);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);

    Album_Img = new QLabel(this);
    Album_Img->setObjectName("Album_Img");
    Album_Img->setGeometry(6, 6, 31, 38);
    AlbumName_Edit = new QLineEdit(this);
    AlbumName_Edit->setObjectName("AlbumName_Edit");
    AlbumName_Edit->setFrame(false);
    AlbumName_Edit->setAcceptDrops(false);
    AlbumName_Edit->setStyleSheet(QString(kNameStyle).arg("transparent"));
    AlbumName_Edit->installEventFilter(this);
    AlbumNum_Lbl = new QLabel(this);
    AlbumNum_Lbl->setObjectName("AlbumNum_Lbl");
    AlbumNum_Lbl->setStyleSheet("color: navy;");
    ShowCurrent(album.Kind() == 1);
    ShowName();
}

void AlbumPanel::ShowCurrent(bool current) {
    Album_Img->setPixmap(QIcon(current ? ":/icons/album-current.svg" : ":/icons/album.svg").pixmap(31, 38));
}

void AlbumPanel::ShowName() { AlbumName_Edit->setText(QString::fromStdString(album_.AlbumName())); }

void AlbumPanel::ShowCount(const QString& text) { AlbumNum_Lbl->setText(text); }

void AlbumPanel::ShowHighlight(bool highlighted) {
    highlighted_ = highlighted;
    update();
}

void AlbumPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // The edit field and the count follow the panel's width.
    AlbumName_Edit->setGeometry(50, 5, width() - 55, 19);
    AlbumNum_Lbl->setGeometry(50, 28, width() - 55, 17);
    QPainter painter(this);
    painter.setPen(QPen(highlighted_ ? QColor(0x80, 0x80, 0x80) : QColor(Qt::white), 2));
    painter.drawRect(QRect(2, 2, width() - 5, height() - 5));
}

void AlbumPanel::mousePressEvent(QMouseEvent* event) {
    QFrame::mousePressEvent(event);
    emit clicked(this);
    setFocus();
}

void AlbumPanel::BeginNameEdit() {
    if (editing_) return;
    editing_ = true;
    emit nameEditBegun(this);
    AlbumName_Edit->setStyleSheet(QString(kNameStyle).arg("white"));
    AlbumName_Edit->setFocus();
    AlbumName_Edit->selectAll();
}

void AlbumPanel::ResumeNameEdit() {
    editing_ = true;
    AlbumName_Edit->setStyleSheet(QString(kNameStyle).arg("white"));
    AlbumName_Edit->setFocus();
    AlbumName_Edit->selectAll();
}

bool AlbumPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == AlbumName_Edit) {
        if (event->type() == QEvent::MouseButtonPress && !editing_) {
            BeginNameEdit();
            return true;  // the press only begins editing; later presses place the caret
        }
        if (event->type() == QEvent::FocusOut && editing_) {
            editing_ = false;
            AlbumName_Edit->setStyleSheet(QString(kNameStyle).arg("transparent"));
            emit nameEditEnded(this, AlbumName_Edit->text());
        }
        if (event->type() == QEvent::KeyPress && editing_) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                setFocus();  // leaving the field validates the name
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

bool AlbumPanel::AcceptsTiles(const QMimeData* data) const {
    return data->hasFormat(kContentTilesMime) && !album_.IsCurrent();
}

void AlbumPanel::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (AcceptsTiles(data) || data->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit dragEntered(this, !data->hasUrls());
    } else {
        event->ignore();
    }
}

void AlbumPanel::dragMoveEvent(QDragMoveEvent* event) {
    const QMimeData* data = event->mimeData();
    if (AcceptsTiles(data) || data->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void AlbumPanel::dragLeaveEvent(QDragLeaveEvent* event) {
    QFrame::dragLeaveEvent(event);
    emit dragLeft(this);
}

void AlbumPanel::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls()) {
        QStringList files;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
        if (files.isEmpty()) {
            // No file list (web addresses only): the drop is refused and the album stays as it
            // was; the highlight goes with the next leave or the next highlight of another panel.
            event->ignore();
            return;
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit filesDropped(this, files);
    } else if (AcceptsTiles(data)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit tilesDropped(this);
    } else {
        event->ignore();
    }
}

}  // namespace vantrel::gui
