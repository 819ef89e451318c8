#include "platform/qt/ClipboardPasteboard.h"

#include "platform/Logging.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qrv {

static QClipboard* clipboard() {
    QRV_SOFT_ASSERT(qobject_cast<QGuiApplication*>(QCoreApplication::instance()), return nullptr);
    return QGuiApplication::clipboard();
}

void ClipboardPasteboard::setData(const QString& type, const QByteArray& data) {
    if (QClipboard* board = clipboard()) {
        auto* mime = new QMimeData;
        mime->setData(type, data);
        board->setMimeData(mime); // the clipboard takes ownership
    }
}

QByteArray ClipboardPasteboard::data(const QString& type) const {
    QClipboard* board = clipboard();
    const QMimeData* mime = board ? board->mimeData() : nullptr;
    return mime ? mime->data(type) : QByteArray();
}

quint64 ClipboardPasteboard::changeCount() const {
    if (!m_changes) {
        m_changes = std::make_shared<std::atomic<quint64>>(1);
        if (QClipboard* board = clipboard())
            QObject::connect(board, &QClipboard::dataChanged, board,
                             [changes = m_changes] { ++*changes; });
    }
    return *m_changes;
}

} // namespace qrv
