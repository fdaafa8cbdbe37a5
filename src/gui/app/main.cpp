// The program entry: the options that need no window, then one instance per user, then the
// engine (settings, workspace, service settings, transfer queue), then the main window on it.
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QWidget>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

#include "core/app/DataFolder.h"
#include "core/app/TSingleInst.h"
#include "core/app/Version.h"
#include "core/app/WorkFolder.h"
#include "gui/app/ApplicationIcon.h"
#include "gui/app/TMain_Dlog.h"
#include "gui/app/WindowCommandLine.h"
#include "gui/app/SystemLocale.h"
#include "gui/app/TerminationSignals.h"
#include "gui/browse/SelectPageController.h"
#include "gui/kit/WindowEngine.h"

int main(int argc, char** argv) {
    using namespace vantrel;
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    // Help and version also work without a display and without reaching a running instance.
    if (const std::optional<int> status = gui::AnswerCommandLine(parameters, stdout, stderr)) return *status;
    TSingleInst guard;
    if (!guard.CanStart(parameters)) return 0;
    // Other starts must find this instance from now on, also while the window is still being made
    // (a send may hold the work folder, the keyring may be slow): they are answered as soon as events run.
    // A start that raced this one to the socket hands over to it instead.
    if (guard.Listen() < 0 && !guard.CanStart(parameters)) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    // No display name: Qt would add it to every title, and the window's caption already names
    // the program. The desktop file name ties the window to its entry and icon.
    QApplication::setDesktopFileName(gui::kDesktopFileName);
    QApplication::setWindowIcon(gui::ApplicationIcon());
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") QIcon::setThemeName("Adwaita");
    // A desktop theme that lacks an icon (or is not installed) falls back on the installed one.
    QIcon::setFallbackThemeName("Adwaita");

    gui::MainWindowPaths paths;
    paths.workFolder = WorkFolderPath();
    paths.settingsFile = SettingsFilePath(paths.workFolder, argv[0]);
    paths.programFolder = DataFolderFor(QApplication::applicationDirPath().toStdString());
    paths.startFolder = gui::SelectPageController::FirstFolder().toStdString();
    // Made before any window, and outliving it: the window and its pages all work on this one.
    gui::WindowEngine engine(paths.workFolder, paths.settingsFile, gui::SystemLocaleInfo());

    gui::TMain_Dlog* ready = nullptr;  // the window, once it is made and started well
    bool closeWhenReady = false;       // a termination signal came while the window was being made
    guard.OnEnsureRestore = [&ready] {
        if (ready) ready->EnsureRestore();
    };
    gui::RouteTerminationSignals([&ready, &closeWhenReady, &engine] {
        engine.StopRemoteSettings();  // a start-up download on its way ends at once
        if (ready) {
            ready->CloseOnSignal();
        } else {
            closeWhenReady = true;
            // A message of the start (the wait for the work folder) ends the start with it.
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        }
    });
    std::unique_ptr<QSocketNotifier> notifier;
    if (guard.ListeningSocket() >= 0) {
        notifier = std::make_unique<QSocketNotifier>(guard.ListeningSocket(), QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&guard] { guard.ServePending(); });
    }

    gui::TMain_Dlog window(engine, paths, [&closeWhenReady] { return closeWhenReady; });
    if (!window.StartedWell()) return 1;

    ready = &window;
    window.show();
    if (closeWhenReady) QTimer::singleShot(0, &window, &QWidget::close);
    return app.exec();
}
