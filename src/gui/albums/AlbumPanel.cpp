#include "gui/albums/AlbumPanel.h"

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
// While its name is edited, a panel's field shows on white; otherwise the panel shows through it.
// Palettes rather than style sheets: a list of thousands of albums builds its panels in a blink,
// where a style sheet sends every panel's widgets through the style-sheet engine. The navy
// texts and the clear field come from the holder's palette (AlbumPanel::HolderPalette).
void ShowFieldOnWhite(QLineEdit* field, bool white) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, white ? QColor(Qt::white) : QColor(Qt::transparent));
    field->setPalette(palette);
}

// The two album pictures, drawn once for all panels.
const QPixmap& AlbumPicture(bool current) {
    static const QPixmap plain = QIcon(":/icons/album.svg").pixmap(31, 38);
    static const QPixmap highlighted = QIcon(":/icons/album-current.svg").pixmap(31, 38);
    return current ? highlighted : plain;
}
}  // namespace

AlbumPanel::AlbumPanel(TAlbum& album, QWidget* parent) : QFrame(parent), album_(album) {
    setObjectName(QString("Elt_%1").arg(reinterpret_cast<quintptr>(this)));
    setFixedHeight(48);
    setMinimumWidth(198);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);

    Album_Img = new QLabel(this);
    Album_Img->setObjectName("Album_Img");
    Album_Img->setGeometry(6, 6, 31, 38);
    AlbumName_Edit = new QLineEdit(this);
    AlbumName_Edit->setObjectName("AlbumName_Edit");
    AlbumName_Edit->setFrame(false);
    AlbumName_Edit->setAcceptDrops(false);
    AlbumName_Edit->installEventFilter(this);
    AlbumNum_Lbl = new QLabel(this);
    AlbumNum_Lbl->setObjectName("AlbumNum_Lbl");
    ShowCurrent(album.Kind() == 1);
    ShowName();
}

void AlbumPanel::ShowCurrent(bool current) { Album_Img->setPixmap(AlbumPicture(current)); }

QPalette AlbumPanel::HolderPalette(QPalette palette) {
    palette.setColor(QPalette::Window, QColor(230, 230, 255));
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    return palette;
}

void AlbumPanel::ShowName() { AlbumName_Edit->setText(QString::fromStdString(album_.AlbumName())); }

void AlbumPanel::ShowCount(const QString& text) { AlbumNum_Lbl->setText(text); }

void AlbumPanel::ShowHighlight(bool highlighted) {
    highlighted_ = highlighted;
    update();
}

void AlbumPanel::paintEvent(QPaintEvent*) {
    // The edit field and the count follow the panel's width.
    AlbumName_Edit->setGeometry(50, 5, width() - 55, 19);
    AlbumNum_Lbl->setGeometry(50, 28, width() - 55, 17);
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
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
    ShowFieldOnWhite(AlbumName_Edit, true);
    AlbumName_Edit->setFocus();
    AlbumName_Edit->selectAll();
}

void AlbumPanel::ResumeNameEdit() {
    editing_ = true;
    ShowFieldOnWhite(AlbumName_Edit, true);
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
            ShowFieldOnWhite(AlbumName_Edit, false);
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
