// Adding the selection of the thumbnail list to albums: the add command, the add-to-album
// sub-menu, the notice afterwards, and the compare dialog's add buttons.
#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>

#include "core/imaging/Tiles.h"
#include "gui/browse/PhotoAdder.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"
#include "gui/browse/TCompare_Dlog.h"
#include "gui/browse/TDup_Dlog.h"
#include "gui/browse/ThumbItem.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/StepLoop.h"

namespace vantrel::gui {

int SelectPageController::AlbumIndexForAdd() {
    if (!adder_) return -1;
    const int current = adder_->CurrentAlbumIndex();
    if (current >= 0) return current;
    if (adder_->AlbumNames().isEmpty()) adder_->AddDefaultAlbum();
    return adder_->DefaultAlbumIndex();
}

void SelectPageController::AddSelectionToAlbum(int albumIndex) {
    if (!adder_ || addSteps_->Running()) return;
    const int before = adder_->QueuedPhotoCount();
    // The paths are taken first: events run between photos and the list may change meanwhile.
    auto paths = std::make_shared<QStringList>();
    for (int row : SelectedRows()) paths->append(static_cast<ThumbItem*>(page_.Thumb_View->item(row))->Path());
    const int n = static_cast<int>(paths->size());
    // Albums added, deleted or renamed meanwhile may have moved the chosen one: the add ends there.
    const QStringList albums = adder_->AlbumNames();
    PhotoAdder* adder = adder_;
    addSteps_->Start(
        n, false,
        [this, paths, albumIndex, albums, adder](int step) {
            if (adder != adder_ || adder_->AlbumNames() != albums) {
                addSteps_->Cancel();
                return;
            }
            adder_->AddPhotoToAlbum(albumIndex, paths->at(step));
        },
        [this, before, n, adder] {
            if (adder != adder_) return;
            adder_->SaveTransferList();
            ShowAddedNotice(adder_->QueuedPhotoCount() - before, n);
        });
    UpdateAddAction();
}

void SelectPageController::ShowAddedNotice(int growth, int asked) {
    if (growth <= 0 || !noticeFlag_) return;
    const QString upper = context_.Translate(growth == asked ? "D_Upper1_All" : "D_Upper1_Part") + " " +
                          context_.Translate("D_Upper2");
    bool noMore = false;
    if (ShowNotice) {
        noMore = ShowNotice(upper);
    } else {
        TDup_Dlog notice(context_.Translate("Dup_Dlog"), upper, context_.Translate("D_Lower"),
                         context_.Translate("D_NoMore"), context_.DialogParent());
        notice.exec();
        noMore = notice.NoMore_Check->isChecked();
    }
    if (noMore) noticeFlag_ = false;
}

bool SelectPageController::Adding() const { return addSteps_->Running(); }

void SelectPageController::RebuildAlbumMenu() {
    albumMenu_->clear();
    const QStringList names = adder_ ? adder_->AlbumNames() : QStringList();
    albumMenu_->menuAction()->setEnabled(!names.isEmpty());
    const QString prefix = context_.Translate("In_Album") + " \"";
    for (int i = 0; i < names.size(); ++i) {
        QAction* item = albumMenu_->addAction(prefix + names[i] + "\"");
        item->setData(i);
        connect(item, &QAction::triggered, this, [this, i] { AddSelectionToAlbum(i); });
    }
}

void SelectPageController::OpenCompare() {
    const QList<int> rows = SelectedRows();
    if (rows.size() < 2) return;
    TCompare_Dlog::Side sides[2];
    for (int s = 0; s < 2; ++s) {
        sides[s].index = rows[s];
        sides[s].path = static_cast<ThumbItem*>(page_.Thumb_View->item(rows[s]))->Path();
        decoding_ = true;
        sides[s].picture = DecodeWhole(sides[s].path);
        decoding_ = false;
        if (sides[s].picture.isNull()) {
            // A file that cannot be opened shows the placeholder rather than the other photo.
            DrawBadImageTile(ws_, ws_.workBitmap);
            sides[s].picture = ToQImage(ws_.workBitmap);
        }
    }
    TCompare_Dlog dialog(context_.Translate("Compare_Dlog"), context_.Translate("Add_Btn"),
                         [this](const QString& path) {
                             if (adder_) adder_->AddPhotoToAlbum(adder_->DefaultAlbumIndex(), path);
                         },
                         context_.DialogParent());
    dialog.SetSides(sides[0], sides[1]);
    if (RunCompare) RunCompare(dialog);
    else dialog.exec();
}

}  // namespace vantrel::gui
