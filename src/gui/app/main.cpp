// The program entry: one instance per user, then the main window.
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>

#include "core/app/TSingleInst.h"
#include "core/app/Version.h"
#include "core/app/WorkFolder.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SystemLocale.h"
#include "gui/app/TerminationSignals.h"

int main(int argc, char** argv) {
    using namespace vantrel;
    TSingleInst guard;
    if (!guard.CanStart(std::vector<std::string>(argv + 1, argv + argc))) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationDisplayName(kApplicationTitle);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") QIcon::setThemeName("Adwaita");

    gui::MainWindowPaths paths;
    paths.workFolder = WorkFolderPath();
    paths.settingsFile = SettingsFilePath(paths.workFolder, argv[0]);
    paths.programFolder = QApplication::applicationDirPath().toStdString() + "/";
    gui::TMain_Dlog window(paths, gui::SystemLocaleInfo());
    if (!window.StartedWell()) return 1;

    // From here other starts find this instance and hand their parameters over.
    guard.OnEnsureRestore = [&window] { window.EnsureRestore(); };
    if (guard.Listen() >= 0) {
        auto* notifier = new QSocketNotifier(guard.ListeningSocket(), QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&guard] { guard.ServePending(); });
    }
    gui::RouteTerminationSignals([&window] { window.close(); });

    window.show();
    return app.exec();
}
