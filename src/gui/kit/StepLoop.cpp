#include "gui/kit/StepLoop.h"

#include <QApplication>

#include "gui/kit/AppContext.h"

namespace vantrel::gui {

namespace {
// How often a loop looks again while a modal dialog holds it.
constexpr int kModalPollMs = 50;
}  // namespace

StepLoop::StepLoop(AppContext& context, QObject* parent) : QObject(parent), context_(context) {
    connect(&timer_, &QTimer::timeout, this, &StepLoop::Turn);
}

bool StepLoop::Start(int count, bool forceBar, std::function<void(int)> step, std::function<void()> finished) {
    if (running_) return false;
    step_ = std::move(step);
    finished_ = std::move(finished);
    count_ = count;
    next_ = 0;
    cancelled_ = false;
    running_ = true;
    context_.NoteStepLoop(true);
    context_.BeginBusy(count, forceBar);
    timer_.start(0);
    return true;
}

void StepLoop::Turn() {
    // A step that asks the user something opens a dialog with its own events: no step may start
    // inside it, nor inside a dialog the user opened meanwhile.
    if (inStep_) return;
    if (QApplication::activeModalWidget()) {
        timer_.setInterval(kModalPollMs);
        return;
    }
    timer_.setInterval(0);
    if (next_ < count_ && !cancelled_) {
        inStep_ = true;
        step_(next_++);
        inStep_ = false;
        context_.StepProgress();
        return;
    }
    timer_.stop();
    running_ = false;
    context_.EndBusy();
    context_.NoteStepLoop(false);
    const auto finished = std::move(finished_);
    step_ = nullptr;
    finished_ = nullptr;
    if (finished) finished();
    emit ended();
}

}  // namespace vantrel::gui
