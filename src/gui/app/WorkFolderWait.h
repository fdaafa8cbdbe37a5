#pragma once
// The window takes the work folder's lock before it writes there. While `vantrel-cli send`
// holds it, the user is told so and the window waits for it (or the user gives up).

#include <QString>
#include <optional>
#include <string>

#include "core/app/WorkFolderLock.h"

class QWidget;

namespace vantrel::gui {

struct WorkFolderHold {
    bool proceed = false;               // false: the user closed the wait; the program ends
    std::optional<WorkFolderLock> lock;  // empty when the lock file cannot be made (read-only folder)
};

// Takes the lock of `workFolder`; when another process holds it, shows `waitText` in a message
// box with a Close button and takes the lock as soon as it is free, closing the box.
WorkFolderHold HoldWorkFolder(const std::string& workFolder, const QString& title, const QString& waitText);

}  // namespace vantrel::gui
