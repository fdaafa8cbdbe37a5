#include "gui/app/ServiceStartup.h"

#include <QMessageBox>

#include "core/app/DateTime.h"
#include "core/app/Version.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/service/UpdateCheck.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/WebLinkOpener.h"

namespace vantrel::gui {

bool TakeRemoteSettingsAtStart(AppContext& context, bool showProblems) {
    const RemoteSettingsResult result = context.Engine().Core().TakeRemoteSettings();
    if (!result.ok() && showProblems) {
        const std::string message =
            result.Message([&context](std::string_view key) { return context.Language().Translate(std::string(key)); });
        if (!message.empty())
            QMessageBox::warning(context.DialogParent(), context.Title(), QString::fromStdString(message));
    }
    return result.ok();
}

void CheckForNewVersion(AppContext& context) {
    const UpdateVerdict verdict = CheckForUpdate(context.Remote().current_version, kProductVersion);
    if (verdict == UpdateVerdict::Unreadable) return;
    if (verdict == UpdateVerdict::NewVersion) {
        QMessageBox::information(context.DialogParent(), context.Title(), context.Translate("NewVersion"));
        OpenWebLink(QString::fromStdString(context.Remote().update_url));  // web links only
    }
    context.Settings().LastCheck = NowLocal();
}

}  // namespace vantrel::gui
