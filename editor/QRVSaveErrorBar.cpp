#include "editor/QRVSaveErrorBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace qrv {

QRVSaveErrorBar::QRVSaveErrorBar(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("saveErrorBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    // A tint of the palette's own colours, so that dark palettes work too.
    QColor tint = colours.color(QPalette::Highlight);
    tint.setAlpha(60);
    colours.setColor(QPalette::Window, tint);
    setPalette(colours);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("saveErrorMessage"));
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(m_label, 1);
    setAccessibleName(tr("Save problem"));
    hide();
}

QString QRVSaveErrorBar::message() const {
    return m_label->text();
}

void QRVSaveErrorBar::setMessage(const QString& message) {
    m_label->setText(message);
    setAccessibleDescription(message);
    setVisible(!message.isEmpty());
}

} // namespace qrv
