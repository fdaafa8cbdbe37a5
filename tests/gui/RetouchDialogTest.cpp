// The retouch dialog driven as a user would: opening on the focused photo, leaving a changed
// photo with and without saving, undo and redo, zoom, the crop frame, red eye and title.
#include <QAction>
#include <QColorDialog>
#include <QWidgetAction>
#include <QMessageBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include "core/TempFolder.h"
#include "core/albums/TAlbumList.h"
#include "core/app/WorkFolder.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileBytes.h"
#include "gui/GuiTestSupport.h"
#include "gui/RetouchFixture.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/retouch/LayeredImageView.h"
#include "gui/retouch/TEdit_Dlog.h"
#include "gui/retouch/ToolPanel.h"
#include "core/imaging/PrintSizeAdvice.h"
#include "gui/retouch/tools/CropTool.h"
#include "gui/retouch/tools/RetouchOperations.h"
#include "gui/retouch/tools/RedEyeTool.h"
#include "gui/retouch/tools/TitleTool.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

class RetouchDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnFocusedPhotoAndSavesTheTurnWhenConfirmed() {
        Album a({{64, 48}, {40, 30}}, 1);
        MessageCatcher messages;
        auto dialog = a.Open();
        QCOMPARE(dialog->JobIndex(), 1);
        QCOMPARE(dialog->Current_View->count(), 2);
        QCOMPARE(dialog->Current_View->currentRow(), 1);
        QVERIFY(dialog->windowTitle().contains(QString::fromStdString(a.album->AlbumName())));
        QCOMPARE(dialog->Photo().Width(), 40);
        QVERIFY(!dialog->Command("EditUndo1")->isEnabled() || !dialog->Modified());

        Run(*dialog, "ImgRotR1");
        QVERIFY(dialog->Modified());
        QCOMPARE(dialog->Photo().Width(), 30);
        QVERIFY(dialog->Command("EditUndo1")->isEnabled());

        // Leaving the photo asks, and Yes rewrites the working copy.
        dialog->Current_View->item(0)->setSelected(true);
        QCOMPARE(messages.texts, QStringList{a.window->Translate("WantSaveModif")});
        QCOMPARE(dialog->JobIndex(), 0);
        QVERIFY(!dialog->Modified());
        QCOMPARE(FileImage(a.Job(1).WorkPath).size(), QSize(30, 40));
        QCOMPARE(a.Job(1).Width, 30);
        QCOMPARE(a.Job(1).Height, 40);
        QCOMPARE(static_cast<std::uint64_t>(a.Job(1).PhotoSize), FileSizeOf(a.Job(1).WorkPath));
        QVERIFY(a.Content()->item(1)->text().contains("30 x 40"));
        QVERIFY(dialog->Current_View->item(1)->text().contains("30 x 40"));
        // The next photo starts with empty stores.
        QVERIFY(!dialog->Command("EditUndo1")->isEnabled());
        QVERIFY(!dialog->Command("EditRedo1")->isEnabled());
    }

    void deselectingThePhotoLeavesNothingToEdit() {
        Album a({{64, 48}, {40, 30}}, 0);
        MessageCatcher messages;
        auto dialog = a.Open();
        Run(*dialog, "ImgRotR1");
        dialog->Current_View->item(0)->setSelected(false);  // Ctrl+click on the selected photo
        QCOMPARE(messages.texts.size(), 1);                 // left: its change is saved back
        QCOMPARE(FileImage(a.Job(0).WorkPath).size(), QSize(48, 64));
        // No photo is loaded any more, so nothing can be changed that closing would not save.
        QCOMPARE(dialog->JobIndex(), -1);
        Run(*dialog, "ImgNeg1");
        QVERIFY(!dialog->Modified());
        dialog->Current_View->item(0)->setSelected(true);
        QCOMPARE(dialog->JobIndex(), 0);
        QCOMPARE(dialog->Photo().Width(), 48);
    }

    void undoKeepsTenLevelsAndRedoReplaysThem() {
        Album a({{64, 48}}, 0);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        Run(*dialog, "ImgRotR1");
        const QImage afterFirst = ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false).copy();
        Run(*dialog, "ImgRotR1", 10);  // eleven turns: three turns from the start
        const QImage afterLast = ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false).copy();
        Run(*dialog, "EditUndo1", 10);
        QCOMPARE(ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false), afterFirst);
        QVERIFY(!dialog->Command("EditUndo1")->isEnabled());  // the oldest step was dropped
        QVERIFY(dialog->Modified());                          // undo does not clear it
        Run(*dialog, "EditRedo1", 10);
        QCOMPARE(ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false), afterLast);
    }

    void everyOneStepOperationChangesThePhotoAndIsUndone() {
        Album a({{64, 48}}, 0, Look::Noisy);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        const QImage original = PhotoImage(*dialog);
        int operations = 0;
        for (const RetouchOperation& operation : RetouchOperations()) {
            if (!operation.apply) continue;
            ++operations;
            Run(*dialog, operation.name);
            QVERIFY2(dialog->Modified(), operation.name);
            QVERIFY2(PhotoImage(*dialog) != original, operation.name);
            Run(*dialog, "EditUndo1");
            QVERIFY2(PhotoImage(*dialog) == original, operation.name);
        }
        QCOMPARE(operations, 8);  // tone, two turns, soften, sharpen, negative, black and white, tint
    }

    void everyOperationHasItsCommandInTheToolBarAndDispatchesToIt() {
        Album a({{64, 48}}, 0, Look::Noisy);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        QStringList bar;  // separators have no name
        for (QAction* action : dialog->Tools_Bar->actions())
            if (!qobject_cast<QWidgetAction*>(action)) bar << action->objectName();
        QCOMPARE(bar, (QStringList{"ImgHelp1", "", "EditUndo1", "EditRedo1", "", "ImgCrop1", "ImgLum1", "ImgTone1",
                                   "ImgRotL1", "ImgRotR1", "ImgMinus1", "ImgPlus1", "ImgNeg1", "ImgBlack1", "",
                                   "ImgTint1", "ImgTintColor1", "", "ImgRedEye1", "ImgTitle1", "", "ZoomMoins1",
                                   "ZoomFull1", "ZoomPlus1"}));
        // The colour chooser of the tint colour is answered "cancel" as soon as it shows.
        int choosersShown = 0;
        QTimer chooserCloser;
        connect(&chooserCloser, &QTimer::timeout, [&] {
            if (auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
                ++choosersShown;
                chooser->reject();
            }
        });
        chooserCloser.start(10);
        const QImage original = PhotoImage(*dialog);
        for (const RetouchOperation& operation : RetouchOperations()) {
            QAction* action = dialog->Command(operation.id);
            QVERIFY2(action && action->objectName() == operation.name, operation.name);
            action->trigger();
            if (operation.apply) {
                QVERIFY2(PhotoImage(*dialog) != original, operation.name);
                Run(*dialog, "EditUndo1");
            } else if (operation.id == RetouchOp::TintColour) {
                QCOMPARE(choosersShown, 1);
            } else {
                QCOMPARE(dialog->OpenOperation(), operation.id);
                for (ToolPanel* panel : dialog->findChildren<ToolPanel*>())
                    if (panel->isVisible()) panel->Cancel_Btn->click();
                QCOMPARE(dialog->OpenOperation(), std::nullopt);
            }
            QVERIFY2(PhotoImage(*dialog) == original, operation.name);
        }
    }

    void undoAndRedoCommandsFollowEveryStepAtOnce() {
        // No event is processed between the steps, so no timer can be what enables the commands.
        Album a({{64, 48}, {40, 30}}, 0, Look::Noisy);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        auto enabled = [&] {
            return std::pair{dialog->Command("EditUndo1")->isEnabled(), dialog->Command("EditRedo1")->isEnabled()};
        };
        QCOMPARE(enabled(), std::pair(false, false));
        const QImage original = PhotoImage(*dialog);
        Run(*dialog, "ImgRotR1");
        const QImage turned = PhotoImage(*dialog);
        QCOMPARE(enabled(), std::pair(true, false));
        Run(*dialog, "EditUndo1");
        QCOMPARE(enabled(), std::pair(false, true));
        QCOMPARE(PhotoImage(*dialog), original);

        // A new step keeps the redo step: redo brings the turned photo back over the negative.
        Run(*dialog, "ImgNeg1");
        const QImage negative = PhotoImage(*dialog);
        QCOMPARE(enabled(), std::pair(true, true));
        Run(*dialog, "EditRedo1");
        QCOMPARE(PhotoImage(*dialog), turned);
        QCOMPARE(enabled(), std::pair(true, false));
        Run(*dialog, "EditUndo1");
        QCOMPARE(PhotoImage(*dialog), negative);
        Run(*dialog, "EditUndo1");
        QCOMPARE(PhotoImage(*dialog), original);
        QCOMPARE(enabled(), std::pair(false, true));

        // The light tool keeps its step when it opens and drops it when cancelled.
        Run(*dialog, "ImgLum1");
        QCOMPARE(enabled(), std::pair(true, true));
        dialog->findChild<ToolPanel*>("Lum_Panel")->Cancel_Btn->click();
        QCOMPARE(enabled(), std::pair(false, true));
        Run(*dialog, "EditRedo1", 2);
        QCOMPARE(PhotoImage(*dialog), turned);

        dialog->Current_View->item(1)->setSelected(true);  // leaving the photo forgets every step
        QCOMPARE(enabled(), std::pair(false, false));
    }

    void autoToneLeavesAPhotoFromBlackToWhiteAloneWithoutAnUndoStep() {
        Album a({{64, 48}}, 0, Look::BlackWhite);
        auto dialog = a.Open();
        const QImage original = PhotoImage(*dialog);
        Run(*dialog, "ImgTone1");
        QVERIFY(!dialog->Modified());
        QCOMPARE(PhotoImage(*dialog), original);
        QVERIFY(!dialog->Command("EditUndo1")->isEnabled());
    }

    void aSavedPhotoShowsItsNewTileInBothLists() {
        Album a({{64, 48}, {40, 30}}, 1);
        MessageCatcher messages;
        a.window->Context().Settings().AskModif = false;
        const int imageIndex = a.Job(1).ImageIndex;
        const QImage before = a.window->Context().QueueTiles().At(imageIndex).toImage();
        auto dialog = a.Open();
        Run(*dialog, "ImgNeg1");
        dialog->Current_View->item(0)->setSelected(true);  // leaving the photo saves it
        const QImage tile = a.window->Context().QueueTiles().At(imageIndex).toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(tile != before.convertToFormat(QImage::Format_RGB32));
        // The organisation page marks the small photo in the tile's bottom-right corner.
        const QRect unmarked(0, 0, tile.width(), tile.height() / 2);
        QCOMPARE(IconImage(a.Content()->item(1)).copy(unmarked), tile.copy(unmarked));
        QCOMPARE(IconImage(dialog->Current_View->item(1)), tile);
        QVERIFY(messages.texts.isEmpty());
    }

    void openingAToolClosesTheOneOpenBefore() {
        Album a({{64, 48}}, 0, Look::Noisy);
        auto dialog = a.Open();
        const QImage original = PhotoImage(*dialog);
        auto shownPanels = [&] {
            QStringList names;
            for (ToolPanel* panel : dialog->findChildren<ToolPanel*>())
                if (panel->isVisible()) names << panel->objectName();
            return names;
        };
        const QList<std::pair<const char*, QString>> tools{
            {"ImgCrop1", "Format_Panel"}, {"ImgLum1", "Lum_Panel"}, {"ImgRedEye1", "RedEye_Panel"}, {"ImgTitle1", "Title_Panel"}};
        for (const auto& [command, panel] : tools) {
            Run(*dialog, command);
            QCOMPARE(shownPanels(), QStringList{panel});
            QVERIFY(!dialog->Current_View->isEnabled());
        }
        dialog->Tool<TitleTool>()->Title_Panel->Cancel_Btn->click();
        QVERIFY(shownPanels().isEmpty());
        QVERIFY(dialog->Current_View->isEnabled());
        QVERIFY(!dialog->Modified());
        QCOMPARE(PhotoImage(*dialog), original);

        // Undo while the light tool is open puts the photo back and closes the tool.
        Run(*dialog, "ImgLum1");
        dialog->findChild<QSlider*>("Brightness_Gauge")->setValue(60);
        QVERIFY(PhotoImage(*dialog) != original);
        Run(*dialog, "EditUndo1");
        QVERIFY(shownPanels().isEmpty());
        QCOMPARE(PhotoImage(*dialog), original);
    }

    void zoomCommandsAndComboText() {
        Album a({{64, 48}}, 0);
        auto dialog = a.Open();
        dialog->Zoom_Combo->setEditText("100 %");
        QStringList seen;
        for (int i = 0; i < 5; ++i) {
            Run(*dialog, "ZoomPlus1");
            seen << dialog->Zoom_Combo->currentText();
        }
        QCOMPARE(seen, (QStringList{"150 %", "225 %", "338 %", "506 %", "506 %"}));
        dialog->Zoom_Combo->setEditText("100 %");
        seen.clear();
        for (int i = 0; i < 7; ++i) {
            Run(*dialog, "ZoomMoins1");
            seen << dialog->Zoom_Combo->currentText();
        }
        QCOMPARE(seen, (QStringList{"67 %", "44 %", "30 %", "20 %", "13 %", "9 %", "9 %"}));
        const QList<std::pair<QString, QString>> typed{{"1000 %", "800 %"}, {"250", "100 %"}, {"x %", "100 %"}, {"0 %", "1 %"}};
        for (const auto& [text, shown] : typed) {
            dialog->Zoom_Combo->setEditText(text);
            QCOMPARE(dialog->Zoom_Combo->currentText(), shown);
        }
        dialog->Zoom_Combo->setCurrentIndex(3);  // an item chosen
        QCOMPARE(dialog->ZoomScale(), 0.5);
        Run(*dialog, "ZoomFull1");
        QCOMPARE(dialog->ZoomScale(), dialog->Src_Img->FitScale());
    }

    void cropFrameFollowsTheFormatAndCropsThePhoto() {
        Album a({{300, 200}}, 0);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        CropTool& p = *dialog->Tool<CropTool>();
        Run(*dialog, "ImgCrop1");
        QCOMPARE(dialog->OpenOperation(), RetouchOp::Crop);
        QVERIFY(!dialog->Current_View->isEnabled());
        QVERIFY(p.Horiz_Btn->isChecked());
        QCOMPARE(p.FinSize_Lbl->text(), QString("267 x 200 pixels"));
        QCOMPARE(p.OrgSize_Lbl->text(), QString("300 x 200 pixels"));
        // The frame's resolution for the chosen print size: 267 pixels over 15 cm.
        QCOMPARE(p.Print_Combo->currentText(), QString("10x15"));
        QCOMPARE(p.Dpi_Lbl->text(), QString("45 dpi"));
        p.Format_Combo->setCurrentIndex(0);  // 3:2
        QCOMPARE(dialog->FrameRect(), QRectF(0, 0, 300, 200));
        QCOMPARE(p.Dpi_Lbl->text(), QString("50 dpi"));
        p.Print_Combo->setCurrentText("9x13");  // the short side decides: 200 pixels over 9 cm
        QCOMPARE(p.Dpi_Lbl->text(), QString("56 dpi"));
        p.Format_Combo->setCurrentIndex(1);
        QCOMPARE(p.FinSize_Lbl->text(), QString("267 x 200 pixels"));
        QCOMPARE(p.Dpi_Lbl->text(), QString("52 dpi"));

        // Dragging the bottom-right handle up and left with the mouse: the ratio is kept.
        LayeredImageView* view = dialog->Src_Img;
        const QRectF frame = dialog->FrameRect();
        const QPoint corner = view->ToView(frame.bottomRight()).toPoint();
        const QPoint target = view->ToView(QPointF(frame.right() - 60, frame.bottom() - 50)).toPoint();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, corner);
        QTest::mouseMove(view->viewport(), target);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, target);
        const QRectF dragged = dialog->FrameRect();
        QVERIFY(dragged.height() < 200);
        QCOMPARE(dragged.topLeft(), QPointF(0, 0));
        QVERIFY(std::abs(dragged.width() / dragged.height() - 4.0 / 3.0) < 1e-3);
        // The resolution followed the drag.
        const QStringList size = p.FinSize_Lbl->text().split(' ');
        QCOMPARE(p.Dpi_Lbl->text(),
                 QString("%1 dpi").arg(int(PrintDpi(size[0].toInt(), size[2].toInt(), PrintFormatSize{9, 13}))));
        QVERIFY(p.Dpi_Lbl->text() != "52 dpi");

        // Dragging the whole frame far right stops it at the photo's edge.
        const QPoint inside = view->ToView(dragged.center()).toPoint();
        const QPoint far = inside + QPoint(view->viewport()->width(), 0);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, inside);
        QTest::mouseMove(view->viewport(), far);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, far);
        QCOMPARE(dialog->FrameRect().right(), 300.0);
        QCOMPARE(dialog->FrameRect().size(), dragged.size());

        p.Format_Panel->Ok_Btn->click();
        QCOMPARE(dialog->OpenOperation(), std::nullopt);
        QVERIFY(dialog->Current_View->isEnabled());
        QCOMPARE(dialog->Photo().Width(), qRound(dragged.width()));
        QCOMPARE(dialog->Photo().Height(), qRound(dragged.height()));
        QVERIFY(dialog->Modified());
        Run(*dialog, "EditUndo1");
        QCOMPARE(dialog->Photo().Width(), 300);
        Run(*dialog, "EditRedo1");
        QCOMPARE(dialog->Photo().Width(), qRound(dragged.width()));
    }

    void cropCornerDraggedOverTheOppositeOneKeepsAPhoto() {
        Album a({{300, 200}}, 0);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        Run(*dialog, "ImgCrop1");
        LayeredImageView* view = dialog->Src_Img;
        const QPoint corner = view->ToView(dialog->FrameRect().bottomRight()).toPoint();
        const QPoint beyond = view->ToView(QPointF(-150, -100)).toPoint();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, corner);
        QTest::mouseMove(view->viewport(), beyond);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, beyond);
        QVERIFY(dialog->FrameRect().width() > 0);
        QVERIFY(dialog->FrameRect().height() > 0);
        dialog->Tool<CropTool>()->Format_Panel->Ok_Btn->click();
        QVERIFY(dialog->Photo().Width() >= 1);
        QVERIFY(dialog->Photo().Height() >= 1);
    }

    void redEyeCorrectsInsideTheSelectionOnly() {
        Album a({{40, 40}}, 0);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        Run(*dialog, "ImgRedEye1");
        QCOMPARE(dialog->OpenOperation(), RetouchOp::RedEye);
        // OK before any eye was selected: the selection is empty.
        dialog->Tool<RedEyeTool>()->RedEye_Panel->Ok_Btn->click();
        QCOMPARE(messages.texts, QStringList{a.window->Translate("SelNotEmpty")});
        QVERIFY(!dialog->Modified());
        messages.texts.clear();
        const std::uint32_t before = dialog->Photo().Pixel(20, 20);
        const std::uint32_t corner = dialog->Photo().Pixel(1, 1);
        // Dragged from right to left with the mouse.
        LayeredImageView* view = dialog->Src_Img;
        const QPoint from = view->ToView(QPointF(35.5, 35.5)).toPoint();
        const QPoint to = view->ToView(QPointF(5.5, 5.5)).toPoint();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), to);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        dialog->Tool<RedEyeTool>()->RedEye_Panel->Ok_Btn->click();
        QVERIFY(messages.texts.isEmpty());
        QVERIFY(((dialog->Photo().Pixel(20, 20) >> 16) & 0xFF) < ((before >> 16) & 0xFF));
        QCOMPARE(dialog->Photo().Pixel(1, 1), corner);
        QCOMPARE(dialog->OpenOperation(), RetouchOp::RedEye);  // open for the next eye

        dialog->Tool<RedEyeTool>()->SelectEye({-30, -30}, {-10, -10});
        dialog->Tool<RedEyeTool>()->RedEye_Panel->Ok_Btn->click();
        QCOMPARE(messages.texts, QStringList{a.window->Translate("SelInImage")});
        dialog->Tool<RedEyeTool>()->RedEye_Panel->Cancel_Btn->click();
        QCOMPARE(dialog->OpenOperation(), std::nullopt);
    }

    void titleIsDrawnWhereTheFrameWas() {
        Album a({{200, 100}}, 0);
        MessageCatcher messages;
        messages.answer = QMessageBox::No;
        auto dialog = a.Open();
        const QImage before = ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false).copy();
        Run(*dialog, "ImgTitle1");
        QCOMPARE(dialog->OpenOperation(), RetouchOp::Title);
        dialog->Tool<TitleTool>()->Title_Edit->setText("Hi");
        const QRectF frame = dialog->FrameRect();
        QCOMPARE(frame.topLeft(), QPointF(0, 0));
        dialog->ProposeFrame(1, frame.translated(100, 40));  // moved by its centre
        dialog->Tool<TitleTool>()->Title_Panel->Cancel_Btn->click();
        QCOMPARE(ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false), before);

        Run(*dialog, "ImgTitle1");
        dialog->Tool<TitleTool>()->Title_Edit->setText("Hi");
        dialog->ProposeFrame(1, dialog->FrameRect().translated(100, 40));
        dialog->Tool<TitleTool>()->Title_Panel->Ok_Btn->click();
        const QImage after = ImageOf(const_cast<Bitmap32&>(dialog->Photo()), false);
        QCOMPARE(after.copy(0, 0, 100, 40), before.copy(0, 0, 100, 40));  // nothing left of the frame
        QVERIFY(after != before);
    }

    void imgEditOpensTheDialogModally() {
        Album a({{64, 48}, {40, 30}}, 1);
        a.window->Context().Settings().AskModif = false;
        bool seen = false;
        QTimer::singleShot(100, [&] {
            auto* dialog = qobject_cast<TEdit_Dlog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = dialog->JobIndex() == 1;
            dialog->Command("ImgRotR1")->trigger();
            dialog->accept();
        });
        a.window->Action(ActionId::ImgEdit1)->trigger();
        QVERIFY(seen);
        QCOMPARE(a.Job(1).Width, 30);
        QVERIFY(a.Content()->item(1)->text().contains("30 x 40"));
    }

};

QTEST_MAIN(RetouchDialogTest)
#include "RetouchDialogTest.moc"
