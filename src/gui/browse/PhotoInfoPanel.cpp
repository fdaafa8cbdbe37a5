#include "gui/browse/PhotoInfoPanel.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <algorithm>

#include "core/imaging/ExifOrientation.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/TimgData.h"
#include "gui/browse/SelectPage.h"
#include "gui/kit/Utf8Text.h"

namespace vantrel::gui {

namespace {
QString SizeText(std::uint64_t bytes, const SizeTextStyle& style) { return Q(FormatFileSize(bytes, style)); }

// "2024:06:03 14:33:00" as the locale writes a date and time; the text as it is when it is no
// such date.
QString LocalDateText(const std::string& exifDate) {
    const QDateTime taken = QDateTime::fromString(Q(exifDate), "yyyy:MM:dd HH:mm:ss");
    return taken.isValid() ? QLocale().toString(taken, QLocale::ShortFormat) : Q(exifDate);
}

// The camera's values with the locale's decimal separator: "27.00 mm" gives "27,00 mm".
QString LocalDecimals(const std::string& value, char separator) {
    QString text = Q(value);
    for (qsizetype i = 1; i + 1 < text.size(); ++i)
        if (text[i] == '.' && text[i - 1].isDigit() && text[i + 1].isDigit()) text[i] = QChar(separator);
    return text;
}
}  // namespace

PhotoInfoTexts DescribeSelection(const QList<SelectedPhoto>& selection, const SizeTextStyle& style,
                                 const QString& plural, const TextLookup& text) {
    PhotoInfoTexts out;
    if (selection.size() != 1) {
        std::uint64_t total = 0;
        for (const SelectedPhoto& photo : selection) total += FileSizeOf(photo.path.toStdString());
        out.name = QString::number(selection.size()) + " " + plural;
        out.size = SizeText(total, style);
        return out;
    }
    const SelectedPhoto& photo = selection.front();
    const std::string path = photo.path.toStdString();
    const QString listDimensions = QString::number(photo.width) + " x " + QString::number(photo.height);
    if (photo.width > 0 && photo.height > 0) out.prints = Q(PrintAdviceText(AdvisePrintSize(photo.width, photo.height), text));
    TimgData scan;
    if (scan.ScanFile(path) && scan.HasExifSegment() && scan.ExifInfo() != nullptr) {
        const TImageInfo& info = *scan.ExifInfo();
        out.name = QFileInfo(Q(scan.FileName())).fileName();
        // The block's dimensions are the stored ones: upright, as the list and retouch show them.
        const bool sideways = SwapsSides(ExifOrientationOf(scan));
        const int width = sideways ? info.Height() : info.Width(), height = sideways ? info.Width() : info.Height();
        const QString dimensions =
            (width != 0 && height != 0) ? QString("%1 x %2").arg(width).arg(height) : listDimensions;
        out.size = dimensions + "\n" + SizeText(static_cast<std::uint32_t>(scan.FileSize()), style);
        out.date = LocalDateText(info.DateText());
        out.aperture = LocalDecimals(info.TagText("FNumber"), style.decimalSeparator);
        out.speed = LocalDecimals(info.TagText("ExposureTime"), style.decimalSeparator);
        out.focal = LocalDecimals(info.TagText("FocalLength"), style.decimalSeparator);
        const std::string iso = info.TagText("ISOSpeedRatings");
        if (!iso.empty()) out.iso = Q(iso);
    } else {
        out.name = QFileInfo(photo.path).fileName();
        out.size = listDimensions + "\n" + SizeText(FileSizeOf(path), style);
    }
    return out;
}

void ShowPhotoInfo(SelectPage& page, const PhotoInfoTexts& texts) {
    const std::pair<const char*, const QString*> rows[] = {
        {"Name_Lbl", &texts.name},      {"Size_Lbl", &texts.size},   {"Date_Lbl", &texts.date},
        {"Open_Lbl", &texts.aperture}, {"Speed_Lbl", &texts.speed}, {"Focus_Lbl", &texts.focal},
        {"Iso_Lbl", &texts.iso},        {"Print_Lbl", &texts.prints}};
    for (auto [name, text] : rows) {
        auto* label = page.Info_Panel->findChild<QLabel*>(name);
        if (!label) continue;
        if (label->wordWrap()) {
            label->setText(*text);
            continue;
        }
        // A value longer than the panel is shortened in its middle; the whole text is its tip.
        const QFontMetrics metrics(label->font());
        const int room = std::max(label->contentsRect().width(), 40);
        QStringList lines = text->split('\n');
        for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideMiddle, room);
        const QString shown = lines.join('\n');
        label->setText(shown);
        label->setToolTip(shown == *text ? QString() : *text);
    }
}

void AlignInfoCaptions(SelectPage& page) {
    // The form lays the captions out against the widest one, right-aligned, values after a gap.
    if (auto* form = page.Info_Panel->findChild<QFormLayout*>()) {
        form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
        form->setHorizontalSpacing(2);
        form->setVerticalSpacing(1);
    }
    for (QLabel* label : page.Info_Panel->findChildren<QLabel*>()) {
        const QString name = label->objectName();
        if (name.endsWith("T_Lbl")) {
            // A font rather than a style sheet: a style sheet would take the desktop's text colour
            // instead of the panel's dark one.
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        else if (name.endsWith("_Lbl")) {
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // Values take the room the panel has instead of widening it; long ones are shortened.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
    }
}

}  // namespace vantrel::gui
