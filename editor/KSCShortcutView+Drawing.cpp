// What the recorder draws and announces in each of its states.
#include "editor/KSCShortcutView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace qrv {

namespace {

const QString kEraseLeftGlyph = QStringLiteral(u"\u232B");
const QString kEscapeGlyph = QStringLiteral(u"\u238B");

// The action glyph sits centred in a slice this wide at the right end,
// whatever the appearance.
constexpr qreal kActionSliceWidth = 23;

} // namespace

void KSCShortcutView::drawInRect(QPainter& painter, const QRectF& rect, const QString& title,
                                 Qt::Alignment alignment, bool state, bool bordered) {
    m_shortcutCell.setTitle(title);
    m_shortcutCell.setAlignment(alignment);
    m_shortcutCell.setState(state);
    m_shortcutCell.setEnabled(isEnabled());
    // The borderless appearance stays borderless: its divider is its only frame.
    m_shortcutCell.setBordered(bordered && m_appearance != 3);
    const bool shifted = m_appearance == 1 || m_appearance == 2;
    m_shortcutCell.drawWithFrame(painter, shifted ? rect.translated(0, 1) : rect, *this);
}

void KSCShortcutView::drawActionButtonWithGlyph(QPainter& painter, const QString& glyph) {
    drawInRect(painter, QRectF(rect()), QString(), Qt::AlignRight, false, true);
    const QFontMetricsF metrics(m_shortcutCell.font());
    const QSizeF glyphSize(metrics.horizontalAdvance(glyph), metrics.height());
    const qreal right = width() - ((kActionSliceWidth - glyphSize.width()) / 2 + 2);
    const QRectF glyphRect(right - glyphSize.width(), (height() - glyphSize.height()) / 2,
                           glyphSize.width(), glyphSize.height());
    painter.save();
    painter.setFont(m_shortcutCell.font());
    style()->drawItemText(&painter, glyphRect.toAlignedRect(), Qt::AlignRight | Qt::AlignVCenter,
                          palette(), isEnabled(), glyph, QPalette::Text);
    painter.restore();
}

KSCShortcutView::DrawingPlan KSCShortcutView::drawingPlan() const {
    QRectF shortcutRect;
    getShortcutRect(&shortcutRect, nullptr);
    const QRectF bounds(rect());
    if (m_recording)
        return {kEscapeGlyph, accessibilityShortcutButtonLabel(), shortcutRect, true};
    if (m_shortcutValue)
        return {m_canClear ? kEraseLeftGlyph : QString(), m_shortcutValue->description(),
                m_canClear ? shortcutRect : bounds, false};
    return {QString(), tr("Record Shortcut"), bounds, false};
}

void KSCShortcutView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const DrawingPlan plan = drawingPlan();
    if (!plan.actionGlyph.isEmpty())
        drawActionButtonWithGlyph(painter, plan.actionGlyph);
    drawInRect(painter, plan.titleRect, plan.title, Qt::AlignHCenter, plan.state, true);
}

QString KSCShortcutView::accessibilityShortcutButtonLabel() const {
    if (!m_recording)
        return m_shortcutValue ? m_shortcutValue->description()
                               : tr("Click to record new shortcut");
    if (m_hinting)
        return m_shortcutValue ? tr("Use Old Shortcut") : tr("Cancel");
    if (!m_shortcutPlaceholder.isEmpty())
        return m_shortcutPlaceholder;
    return m_shortcutValue ? tr("Type New Shortcut") : tr("Type Shortcut");
}

QString KSCShortcutView::accessibilityActionButtonLabel() const {
    if (m_recording)
        return tr("Cancel");
    return m_shortcutValue ? tr("Delete shortcut") : QString();
}

bool KSCShortcutView::accessibilityPressShortcutButton() {
    if (!isEnabled() || m_recording)
        return false;
    setRecording(true);
    return true;
}

bool KSCShortcutView::accessibilityPressActionButton() {
    if (!isEnabled())
        return false;
    if (!m_shortcutValue)
        setRecording(!m_recording);
    else if (m_recording)
        setRecording(false);
    else
        setShortcutValue(nullptr);
    return true;
}

} // namespace qrv
