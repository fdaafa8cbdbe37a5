#pragma once
// The panel of a retouch tool: a light grey strip with the tool's picture at its left edge and
// cancel and OK buttons at its right edge; the tool puts its controls between them, where they
// scroll sideways on a narrow dialog. With the
// small widgets the panels are made of.

#include <QFrame>

class QHBoxLayout;
class QLabel;
class QScrollArea;
class QSlider;
class QToolButton;

namespace vantrel::gui {

class ToolPanel : public QFrame {
    Q_OBJECT
public:
    // Made hidden, named `name` as the language file names it.
    ToolPanel(const char* name, int height, const QIcon& picture, QWidget* parent);
    // Where the tool's own controls go, between the picture and the buttons.
    QHBoxLayout* Controls() const { return controls_; }
    QToolButton* Cancel_Btn = nullptr;
    QToolButton* Ok_Btn = nullptr;

signals:
    void accepted();
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The designed height, and the scroll bar's below it while the controls are wider than the panel.
    void FitHeight();
    int height_;
    QHBoxLayout* controls_ = nullptr;
    QScrollArea* controlsArea_ = nullptr;
};

// The OK and cancel pictures of the panels.
QIcon OkIcon();
QIcon CancelIcon();

// A flat 24 x 24 button with an 18-pixel icon.
QToolButton* SmallButton(const char* name, const QIcon& icon, QWidget* parent);
// A label showing `icon` at size x size.
QLabel* Picture(const char* name, const QIcon& icon, int size, QWidget* parent);
// A horizontal slider from -100 to 100, at 0.
QSlider* Gauge(const char* name, QWidget* parent);

}  // namespace vantrel::gui
