#pragma once

#include <QPoint>
#include <QWidget>

namespace qrv {

// Whether a window may be dragged by its background: a press on a
// background view (one of the views below, or a view inside one that leaves
// its presses to its parent) moves the whole window, as a title bar would.
void setMovableByWindowBackground(QWidget* window, bool movable);
bool isMovableByWindowBackground(const QWidget* window);

// A view that moves its window when the window is movable by its background:
// a left press inside it starts the move, and until the release the drags
// belong to the move rather than to the view.
class QRVWindowBackgroundView : public QWidget {
    Q_OBJECT
  public:
    explicit QRVWindowBackgroundView(QWidget* parent = nullptr);
    bool movingWindow() const { return m_movingWindow; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool startMovingWindow(const QMouseEvent& event);

    bool m_movingWindow = false;
    // The window system moves the window itself when it can; otherwise the
    // window follows the pointer from these.
    bool m_movingByHand = false;
    QPoint m_pressGlobal;
    QPoint m_windowAtPress;
};

// The window's background, in the window colour of the palette.
class QRVVisualEffectView : public QRVWindowBackgroundView {
    Q_OBJECT
  public:
    explicit QRVVisualEffectView(QWidget* parent = nullptr);
};

// A background in the palette's control background colour (the colour of
// lists and text fields).
class QRVWhiteView : public QRVWindowBackgroundView {
    Q_OBJECT
  public:
    using QRVWindowBackgroundView::QRVWindowBackgroundView;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qrv
