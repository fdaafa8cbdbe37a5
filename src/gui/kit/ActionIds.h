#pragma once
// The window's commands, by the names the rest of the program uses for them.

namespace vantrel::gui {

enum class ActionId {
    FileOptions1, FileExit1,
    EditUndo1, EditRedo1, EditCut1, EditCopy1, EditPaste1, EditDelete1, EditSelectAll1,
    HelpContents1, HelpAbout1,
    AlbumAdd1, AlbumEdit1, AlbumDel1,
    ImgRotL1, ImgRotR1, ImgEdit1,
    ImgThumb1, ImgDiapo1, ImgCompare1,
    ImgFirst1, ImgPrev1, ImgNext1, ImgLast1, ImgAdd1,
    Count
};

}  // namespace vantrel::gui
