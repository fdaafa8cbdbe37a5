#include "gui/kit/MainActions.h"

#include <QIcon>
#include <QMainWindow>
#include <QToolBar>

#include "gui/kit/CheckedToolButtons.h"
#include "gui/kit/PaletteIcon.h"

namespace vantrel::gui {

const std::array<ActionSpec, static_cast<size_t>(ActionId::Count)>& ActionSpecs() {
    using A = ActionId;
    static const std::array<ActionSpec, static_cast<size_t>(ActionId::Count)> specs = {{
        {A::FileOptions1, "FileOptions1", "Options", "Menu_Options", "Hint_Options", "Ctrl+O", "preferences-system"},
        {A::FileExit1, "FileExit1", "&Quitter", "Menu_Quit", "Hint_Quit", "Ctrl+Q", "application-exit"},
        {A::EditUndo1, "EditUndo1", "&Défaire", "Menu_Undo", "Hint_Undo", "Ctrl+Z", "edit-undo"},
        {A::EditRedo1, "EditRedo1", "Refaire", "Menu_Redo", "Hint_Redo", "Ctrl+Y", "edit-redo"},
        {A::EditCut1, "EditCut1", "Cou&per", "Menu_Cut", "Hint_Cut", "Ctrl+X", "edit-cut"},
        {A::EditCopy1, "EditCopy1", "&Copier", "Menu_Copy", "Hint_Copy", "Ctrl+C", "edit-copy"},
        {A::EditPaste1, "EditPaste1", "Co&ller", "Menu_Paste", "Hint_Paste", "Ctrl+V", "edit-paste"},
        {A::EditDelete1, "EditDelete1", "S&upprimer", "Menu_Delete", "Hint_Delete", "Del", "edit-delete"},
        {A::EditSelectAll1, "EditSelectAll1", "&Tout sélectionner", "Menu_SelAll", "Hint_SelAll", "Ctrl+A",
         "edit-select-all"},
        {A::HelpContents1, "HelpContents1", "&Rubriques d'aide", "Menu_Help", "Hint_Help", "F1", "help-browser"},
        {A::HelpAbout1, "HelpAbout1", "A propos de Vantrel...", "Menu_About", "Hint_About", "", "help-about"},
        {A::AlbumAdd1, "AlbumAdd1", "Ajouter un album", "ToolC_AddAlbum", "ToolH_AddAlbum", "", "folder-new"},
        {A::AlbumEdit1, "AlbumEdit1", "Editer le nom de l'album", "ToolC_EditAlbum", "ToolH_EditAlbum", "F2",
         "document-edit"},
        {A::AlbumDel1, "AlbumDel1", "Supprimer l'album", "ToolC_DelAlbum", "ToolH_DelAlbum", "", "user-trash"},
        {A::ImgRotL1, "ImgRotL1", "Pivoter à gauche", "ToolC_ImgRotL", "ToolH_ImgRotL", "", "object-rotate-left"},
        {A::ImgRotR1, "ImgRotR1", "Pivoter à droite", "ToolC_ImgRotR", "ToolH_ImgRotR", "", "object-rotate-right"},
        {A::ImgEdit1, "ImgEdit1", "Retoucher", "ToolC_ImgEdit", "ToolH_ImgEdit", "", "applications-graphics"},
        {A::ImgThumb1, "ImgThumb1", "Vignettes", "ToolC_ImgThumb", "ToolH_ImgThumb", "", "view-grid"},
        {A::ImgDiapo1, "ImgDiapo1", "Diaporama", "ToolC_ImgDiapo", "ToolH_ImgDiapo", "", "image-x-generic"},
        {A::ImgCompare1, "ImgCompare1", "Comparer", "ToolC_ImgCompare", "ToolH_ImgCompare", "", "view-dual"},
        {A::ImgFirst1, "ImgFirst1", "Première image", "ToolC_ImgFirst", "ToolH_ImgFirst", "", "go-first"},
        {A::ImgPrev1, "ImgPrev1", "Image précedente", "ToolC_ImgPrev", "ToolH_ImgPrev", "", "go-previous"},
        {A::ImgNext1, "ImgNext1", "Image suivante", "ToolC_ImgNext", "ToolH_ImgNext", "", "go-next"},
        {A::ImgLast1, "ImgLast1", "Dernière image", "ToolC_ImgLast", "ToolH_ImgLast", "", "go-last"},
        {A::ImgAdd1, "ImgAdd1", "Ajouter l'image à la liste de transfert", "ToolC_ImgAdd", "ToolH_ImgAdd", "",
         "list-add"},
    }};
    return specs;
}

void ApplyHint(QAction* action, const QString& caption, const QString& hint) {
    action->setText(caption);
    const qsizetype bar = hint.indexOf('|');
    const QString shortHint = bar < 0 ? hint : hint.left(bar);
    const QString longHint = bar < 0 ? hint : hint.mid(bar + 1);
    action->setToolTip(shortHint.isEmpty() ? QString(caption).remove('&') : shortHint);
    action->setStatusTip(longHint);
}

QIcon ThemedIcon(const char* name) {
    const QString themed = QString::fromLatin1(name);
    return PaletteIcon(QIcon::fromTheme(themed, QIcon::fromTheme(themed + "-symbolic")));
}

QToolBar* AddCommandBar(QMainWindow& window, const char* name,
                        std::initializer_list<std::initializer_list<ActionId>> groups,
                        const std::function<QAction*(ActionId)>& action) {
    QToolBar* bar = window.addToolBar(name);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(QSize(24, 24));
    bool first = true;
    for (const auto& group : groups) {
        if (!first) bar->addSeparator();
        first = false;
        for (ActionId id : group) bar->addAction(action(id));
    }
    bar->toggleViewAction()->setVisible(false);
    HighlightCheckedButtons(*bar);
    return bar;
}

}  // namespace vantrel::gui
