#pragma once
// A loop over photos run one photo per turn of the event loop: between two photos the window
// repaints, its busy bar moves and its events run, with no event loop nested inside the work.
// While a modal dialog is open the loop waits for it to close, so a dialog's own work never
// interleaves with the loop's.

#include <QObject>
#include <QTimer>
#include <functional>

namespace vantrel::gui {

class AppContext;

class StepLoop : public QObject {
    Q_OBJECT
public:
    explicit StepLoop(AppContext& context, QObject* parent = nullptr);

    // Runs step(0) .. step(count - 1), one per turn of the event loop, inside the window's busy
    // state (the bar forced to show with `forceBar`), then `finished` once the busy state has
    // ended. Nothing runs and false is returned while a loop is running: one loop at a time.
    bool Start(int count, bool forceBar, std::function<void(int)> step, std::function<void()> finished = {});
    bool Running() const { return running_; }
    // Ends the loop before its next step; `finished` still runs (at the next turn).
    void Cancel() { cancelled_ = true; }

signals:
    void ended();

private:
    void Turn();

    AppContext& context_;
    QTimer timer_;
    std::function<void(int)> step_;
    std::function<void()> finished_;
    int count_ = 0;
    int next_ = 0;
    bool running_ = false;
    bool cancelled_ = false;
    bool inStep_ = false;
};

}  // namespace vantrel::gui
