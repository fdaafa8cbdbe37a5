// Times one step of the slideshow of the real window, offscreen, once the next photo had time to
// be decoded ahead: from the step until the new frame is painted.
// Usage: bench_slideshow PROGRAM_FOLDER PHOTO_FOLDER [STEPS]
// Prints the best and the median step in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "lib/BenchWindow.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"
#include "gui/browse/SlideshowView.h"

using namespace vantrel;
using namespace vantrel::gui;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER PHOTO_FOLDER [STEPS]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::BenchWindow window(argv[1]);
    if (!window.Open(QSize(1280, 800))) return 1;
    SelectPageController& browse = *window->Browse();
    bool finished = false;
    QObject::connect(&browse, &SelectPageController::listingFinished, [&] { finished = true; });
    browse.SelectFolder(QString::fromLocal8Bit(argv[2]));
    while (!finished) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const int steps = std::min(argc > 3 ? std::atoi(argv[3]) : 5, window->Select()->Thumb_View->count() - 1);
    browse.GoFirst();
    browse.ShowSlideshow();
    SlideshowView* view = window->Select()->Cur_Img;
    view->repaint();
    std::vector<double> times;
    for (int step = 0; step < steps; ++step) {
        // Time for the worker to decode the next photo, as a viewer looks at the current one.
        for (int i = 0; i < 150; ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        QElapsedTimer timer;
        timer.start();
        browse.GoNext();
        view->repaint();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%.2f %.2f\n", times.front(), times[times.size() / 2]);
    return 0;
}
