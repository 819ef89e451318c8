#include "editor/KSCButtonCell.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QWidget>

namespace qrv {

namespace {

QColor mix(const QColor& a, const QColor& b, qreal amountOfB) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * amountOfB,
                            a.greenF() + (b.greenF() - a.greenF()) * amountOfB,
                            a.blueF() + (b.blueF() - a.blueF()) * amountOfB);
}

// The platform's named colours, taken from the palette so that a dark
// palette gets dark controls.
QColor controlBackgroundColor(const QPalette& palette) {
    return palette.color(QPalette::Base);
}
QColor unemphasizedSelectedTextBackgroundColor(const QPalette& palette) {
    return mix(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.15);
}
QColor separatorColor(const QPalette& palette) {
    return mix(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.3);
}

constexpr qreal kCornerRadius = 5.0;

} // namespace

KSCButtonCell::KSCButtonCell()
    : m_font(QApplication::font()) {}

void KSCButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame,
                                  const QWidget& view) const {
    drawBezelWithFrame(painter, frame, view);
    drawTitle(painter, frame, view);
}

void KSCButtonCell::drawBezelWithFrame(QPainter& painter, const QRectF& frame,
                                       const QWidget& view) const {
    const QPalette& palette = view.palette();
    QRectF rect = frame.adjusted(1, 1, -1, -1).translated(0, -1);
    if (!m_bordered && !m_highlighted)
        rect.adjust(0.5, 0.5, -0.5, -0.5);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_highlighted || m_drawsBackground) {
        QPainterPath path;
        path.addRoundedRect(rect, kCornerRadius, kCornerRadius);
        painter.fillPath(path, m_highlighted ? unemphasizedSelectedTextBackgroundColor(palette)
                                             : controlBackgroundColor(palette));
    }
    if (m_bordered) {
        // Half a pixel in, so a one-pixel line covers whole pixels.
        painter.setPen(QPen(separatorColor(palette), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius - 0.5,
                                kCornerRadius - 0.5);
    }
    if (!m_bordered && !m_highlighted) {
        painter.setPen(QPen(unemphasizedSelectedTextBackgroundColor(palette), 0.5));
        painter.drawLine(QPointF(rect.right(), rect.top() + 2.5),
                         QPointF(rect.right(), rect.bottom() - 2.5));
    }
    painter.restore();
}

void KSCButtonCell::drawTitle(QPainter& painter, const QRectF& frame, const QWidget& view) const {
    if (m_title.isEmpty())
        return;
    painter.save();
    painter.setFont(m_font);
    // Keep the title off the rounded ends.
    const QRect textRect = frame.adjusted(kCornerRadius, 0, -kCornerRadius, -1).toRect();
    const QString text =
        painter.fontMetrics().elidedText(m_title, Qt::ElideMiddle, textRect.width());
    view.style()->drawItemText(&painter, textRect, int(m_alignment | Qt::AlignVCenter),
                               view.palette(), m_enabled, text, QPalette::Text);
    painter.restore();
}

} // namespace qrv
