#pragma once
// Which keys are held down at this moment, as far as the program's windows have seen. An
// application event filter follows presses and releases (auto-repeats aside); when the program
// loses the focus it forgets them all, since the releases would go to another program.

#include <QObject>
#include <QSet>

namespace vantrel::gui {

class HeldKeys : public QObject {
    Q_OBJECT
public:
    // Starts following the keys (once for the application; later calls do nothing).
    static void Install();
    // True while `key` (a Qt::Key) is held down; false when nothing follows the keys.
    static bool IsHeld(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit HeldKeys(QObject* parent) : QObject(parent) {}
    QSet<int> held_;
};

}  // namespace vantrel::gui
