// A folder of many photos in the real window, offscreen: the first fill (an empty tile cache
// folder, every tile decoded), the list scrolled from top to bottom, then the folder revisited
// (tiles from the cache). Prints the two fill times in seconds, the peak resident memory of the
// process (VmHWM) and the resident memory at the end (VmRSS), in KB, and the tiles held.
// Usage: bench_large_folder PROGRAM_FOLDER PHOTO_FOLDER
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <string>

#include "lib/BenchWindow.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"

using namespace vantrel;
using namespace vantrel::gui;

namespace {

// A line of /proc/self/status, in KB.
long StatusKb(const char* key) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(static_cast<qsizetype>(std::strlen(key))).trimmed().split(' ').front().toLong();
    return -1;
}

// Selects `folder` and returns the seconds until its listing has ended.
double Fill(SelectPageController& browse, const QString& folder) {
    bool finished = false;
    auto connection = QObject::connect(&browse, &SelectPageController::listingFinished, [&] { finished = true; });
    QElapsedTimer timer;
    timer.start();
    browse.SelectFolder(folder);
    while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(connection);
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER PHOTO_FOLDER\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir empty;
    bench::BenchWindow window(argv[1]);
    if (!window.Open(QSize(1280, 800))) return 1;
    SelectPageController& browse = *window->Browse();
    browse.ShowMessage = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    Fill(browse, empty.path());
    const QString photos = QString::fromLocal8Bit(argv[2]);
    const double first = Fill(browse, photos);
    // The whole list scrolled through: the tiles held stay bounded.
    QScrollBar* bar = window->Select()->Thumb_View->verticalScrollBar();
    for (int step = 0; step <= 50; ++step) {
        bar->setValue(bar->maximum() * step / 50);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 100) QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    Fill(browse, empty.path());
    const double revisit = Fill(browse, photos);
    std::printf("%.4f %.4f %ld %ld %zu\n", first, revisit, StatusKb("VmHWM:"), StatusKb("VmRSS:"), browse.TilesHeld());
    std::fprintf(stderr, "%d rows\n", window->Select()->Thumb_View->count());
    return 0;
}
