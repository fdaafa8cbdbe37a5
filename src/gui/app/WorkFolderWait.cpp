#include "gui/app/WorkFolderWait.h"

#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace vantrel::gui {

WorkFolderHold HoldWorkFolder(const std::string& workFolder, const QString& title, const QString& waitText) {
    auto first = WorkFolderLock::TryAcquire(workFolder);
    if (first) return {true, std::move(*first)};
    if (!first.error().busy) {
        // Nothing here can be written either; the window still shows the user's photos.
        std::fprintf(stderr, "vantrel: %s\n", first.error().message.c_str());
        return {true, std::nullopt};
    }
    WorkFolderHold hold;
    QMessageBox box(QMessageBox::Information, title, waitText, QMessageBox::Close);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        auto lock = WorkFolderLock::TryAcquire(workFolder);
        if (!lock) return;
        hold = {true, std::move(*lock)};
        box.done(QMessageBox::Ok);
    });
    poll.start(250);
    box.exec();
    return hold;
}

}  // namespace vantrel::gui
