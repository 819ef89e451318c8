#include "shell/QRVWindowFrameAutosave.h"

#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qrv {
namespace {

// Moves and resizes come in bursts while the user drags; one write after the
// burst is enough.
constexpr Millis kSaveDelay{1000};
const QString kSaveKey = QStringLiteral("saveFrame");

QString formatRect(const QRect& rect) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

QList<QRect> availableAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

QRVWindowFrameAutosave::QRVWindowFrameAutosave(QWidget& window, QString name,
                                               UserDefaults& defaults, Scheduler& scheduler)
    : QObject(&window)
    , m_window(&window)
    , m_name(std::move(name))
    , m_defaults(defaults)
    , m_scheduler(scheduler) {
    restoreFrame();
    window.installEventFilter(this);
}

QRVWindowFrameAutosave::~QRVWindowFrameAutosave() {
    m_scheduler.cancelAllPerforms(this);
}

std::optional<QRect> QRVWindowFrameAutosave::parseFrame(const QString& value) {
    const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0)
        return std::nullopt;
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QRect QRVWindowFrameAutosave::fittedFrame(const QRect& frame, const QList<QRect>& areas) {
    if (areas.isEmpty())
        return frame;
    QRect screen = areas.first();
    for (const QRect& area : areas)
        if (area.contains(frame.topLeft())) {
            screen = area;
            break;
        }
    QRect fitted(frame.topLeft(), frame.size().boundedTo(screen.size()));
    if (fitted.right() > screen.right())
        fitted.moveRight(screen.right());
    if (fitted.bottom() > screen.bottom())
        fitted.moveBottom(screen.bottom());
    if (fitted.left() < screen.left())
        fitted.moveLeft(screen.left());
    if (fitted.top() < screen.top())
        fitted.moveTop(screen.top());
    return fitted;
}

void QRVWindowFrameAutosave::restoreFrame() {
    const auto frame = parseFrame(m_defaults.stringForKey(keyForName(m_name)));
    if (!frame || !m_window)
        return;
    const QRect fitted = fittedFrame(*frame, availableAreas());
    m_restoring = true;
    m_window->resize(fitted.size().expandedTo(m_window->minimumSize()));
    m_window->move(fitted.topLeft());
    m_restoring = false;
}

void QRVWindowFrameAutosave::saveFrame() {
    m_scheduler.cancelPerforms(this, kSaveKey);
    if (!m_window)
        return;
    QString value = formatRect(QRect(m_window->pos(), m_window->size()));
    if (const QScreen* screen = m_window->screen())
        value += QLatin1Char(' ') + formatRect(screen->availableGeometry());
    if (m_defaults.stringForKey(keyForName(m_name)) != value)
        m_defaults.setObject(keyForName(m_name), value);
}

bool QRVWindowFrameAutosave::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && !m_restoring) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            if (m_window->isVisible())
                m_scheduler.performCoalesced(this, kSaveKey, kSaveDelay, [this] { saveFrame(); });
            break;
        case QEvent::Hide:
            saveFrame();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qrv
