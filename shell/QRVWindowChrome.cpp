#include "shell/QRVWindowChrome.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace qrv {
namespace {

constexpr const char* kMovableProperty = "qrvMovableByWindowBackground";

} // namespace

void setMovableByWindowBackground(QWidget* window, bool movable) {
    if (window)
        window->window()->setProperty(kMovableProperty, movable);
}

bool isMovableByWindowBackground(const QWidget* window) {
    return window && window->window()->property(kMovableProperty).toBool();
}

QRVWindowBackgroundView::QRVWindowBackgroundView(QWidget* parent)
    : QWidget(parent) {}

bool QRVWindowBackgroundView::startMovingWindow(const QMouseEvent& event) {
    QWidget* top = window();
    if (event.button() != Qt::LeftButton || !isMovableByWindowBackground(top) ||
        !rect().contains(event.position().toPoint()))
        return false;
    m_movingWindow = true;
    QWindow* handle = top->windowHandle();
    if (handle && handle->startSystemMove())
        return true;
    // The window system cannot move it for us (no such request, or a
    // platform without a window manager): follow the pointer ourselves.
    m_movingByHand = true;
    m_pressGlobal = event.globalPosition().toPoint();
    m_windowAtPress = top->pos();
    return true;
}

void QRVWindowBackgroundView::mousePressEvent(QMouseEvent* event) {
    m_movingWindow = false;
    m_movingByHand = false;
    if (startMovingWindow(*event))
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void QRVWindowBackgroundView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_movingWindow) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (m_movingByHand)
        window()->move(m_windowAtPress + (event->globalPosition().toPoint() - m_pressGlobal));
    event->accept();
}

void QRVWindowBackgroundView::mouseReleaseEvent(QMouseEvent* event) {
    m_movingWindow = false;
    m_movingByHand = false;
    QWidget::mouseReleaseEvent(event);
}

QRVVisualEffectView::QRVVisualEffectView(QWidget* parent)
    : QRVWindowBackgroundView(parent) {
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
}

void QRVWhiteView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
}

} // namespace qrv
