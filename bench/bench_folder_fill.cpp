// Times the filling of the thumbnail list of the real window, offscreen: from the selection of
// a folder until its listing has ended (every tile in the list and the list sorted).
// Usage: bench_folder_fill PROGRAM_FOLDER PHOTO_FOLDER DECODERS [RUNS [each]]
// Prints the best time in seconds, or with "each" every run's time in order (the first run of a
// fresh tile cache folder fills it, the later ones reopen the folder from it).
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "lib/BenchWindow.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"

using namespace vantrel;
using namespace vantrel::gui;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER PHOTO_FOLDER DECODERS [RUNS]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir empty;
    bench::BenchWindow window(argv[1]);
    if (!window.Open()) return 1;
    SelectPageController& browse = *window->Browse();
    browse.ShowMessage = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    browse.SetDecoderCount(std::atoi(argv[3]));
    const int runs = argc > 4 ? std::atoi(argv[4]) : 3;
    const bool each = argc > 5 && std::string(argv[5]) == "each";
    double best = 1e9;
    int items = 0;
    for (int run = 0; run < runs; ++run) {
        // An empty folder between runs, so that the photo folder is listed anew each time.
        bool finished = false;
        auto connection = QObject::connect(&browse, &SelectPageController::listingFinished, [&] { finished = true; });
        browse.SelectFolder(empty.path());
        while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        finished = false;
        QElapsedTimer timer;
        timer.start();
        browse.SelectFolder(QString::fromLocal8Bit(argv[2]));
        while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(connection);
        best = std::min(best, timer.nsecsElapsed() / 1e9);
        if (each) std::printf("%.4f ", timer.nsecsElapsed() / 1e9);
        items = window->Select()->Thumb_View->count();
    }
    if (!each) std::printf("%.4f", best);
    std::printf("\n");
    std::fprintf(stderr, "%d tiles\n", items);
    return 0;
}
