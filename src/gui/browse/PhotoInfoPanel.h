#pragma once
// The information panel under the folder tree: name, sizes and the camera's values of one
// photo, or the count and total size of several.

#include <QList>
#include <QString>

#include "core/albums/PrintAdviceText.h"
#include "core/imaging/SizeText.h"

namespace vantrel::gui {

class SelectPage;

// One selected photo as the thumbnail list knows it.
struct SelectedPhoto {
    QString path;
    int width = 0;   // from the file's header
    int height = 0;
};

// The seven value texts, "--" where nothing is known, and the print-size advice of one photo
// (a line of its own, empty for none or several).
struct PhotoInfoTexts {
    QString name = "--", size = "--", date = "--", aperture = "--", speed = "--", focal = "--", iso = "--";
    QString prints;
};

// What the panel shows for the selection. One photo: its name and "width x height" with its
// file size on a second line, and with an EXIF block its date taken (as the locale writes dates),
// aperture, exposure time, focal length (as the block gives them, even empty, with the style's
// decimal separator) and ISO speed (only when given); the block's own dimensions, turned upright
// by its orientation, win when both are non-zero; the print advice comes from the header's
// pixels, worded through `text`. No photo or several: their count with `plural` and their
// total size.
PhotoInfoTexts DescribeSelection(const QList<SelectedPhoto>& selection, const SizeTextStyle& style,
                                 const QString& plural, const TextLookup& text);

// Writes the texts into the value labels of the page.
void ShowPhotoInfo(SelectPage& page, const PhotoInfoTexts& texts);

// Places the caption labels right-aligned against the widest caption and the values 2 pixels
// to its right.
void AlignInfoCaptions(SelectPage& page);

}  // namespace vantrel::gui
