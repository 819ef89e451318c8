#include "editor/QRVSaveErrorBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <mutex>

namespace qrv {
namespace {

// A screen reader announces an alert as it appears; a plain frame it passes by.
QAccessibleInterface* saveErrorBarFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(QRVSaveErrorBar::staticMetaObject.className()) ||
        !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(qobject_cast<QWidget*>(object), QAccessible::AlertMessage);
}

} // namespace

QRVSaveErrorBar::QRVSaveErrorBar(QWidget* parent)
    : QFrame(parent) {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&saveErrorBarFactory); });
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
    const bool changed = message != m_label->text();
    m_label->setText(message);
    setAccessibleDescription(message);
    setVisible(!message.isEmpty());
    if (changed && !message.isEmpty()) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

} // namespace qrv
