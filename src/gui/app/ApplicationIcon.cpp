#include "gui/app/ApplicationIcon.h"

namespace vantrel::gui {

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) icon.addFile(QString(":/app/vantrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace vantrel::gui
