#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

namespace qrv {

// Draws the recorder's parts: a rounded bezel and a title. The recorder
// sets the cell up for each part it draws and draws it in that part's
// rectangle. Colours come from the view's palette, so light and dark
// palettes both look right.
class KSCButtonCell {
  public:
    // The platform's bezel styles the recorder's appearances choose.
    enum class BezelStyle { Rounded = 1, TexturedRounded = 11, RoundRect = 12 };

    KSCButtonCell();

    void setTitle(const QString& title) { m_title = title; }
    const QString& title() const { return m_title; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    void setState(bool on) { m_state = on; }
    bool state() const { return m_state; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void setBordered(bool bordered) { m_bordered = bordered; }
    bool isBordered() const { return m_bordered; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    bool isHighlighted() const { return m_highlighted; }
    void setBezelStyle(BezelStyle style) { m_bezelStyle = style; }
    BezelStyle bezelStyle() const { return m_bezelStyle; }
    // A clear background leaves the bezel unfilled unless highlighted.
    void setDrawsBackground(bool draws) { m_drawsBackground = draws; }
    bool drawsBackground() const { return m_drawsBackground; }
    void setFont(const QFont& font) { m_font = font; }
    const QFont& font() const { return m_font; }

    // The bezel (a borderless cell draws only its divider), then the title.
    void drawWithFrame(QPainter& painter, const QRectF& frame, const QWidget& view) const;
    void drawBezelWithFrame(QPainter& painter, const QRectF& frame, const QWidget& view) const;
    void drawTitle(QPainter& painter, const QRectF& frame, const QWidget& view) const;

  private:
    QString m_title;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    bool m_state = false;
    bool m_enabled = true;
    bool m_bordered = true;
    bool m_highlighted = false;
    bool m_drawsBackground = true;
    BezelStyle m_bezelStyle = BezelStyle::RoundRect;
    QFont m_font;
};

} // namespace qrv
