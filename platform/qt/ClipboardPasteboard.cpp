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

QString ClipboardPasteboard::formatOfItem(const QString& type, qsizetype index) {
    return index == 0 ? type : type + QLatin1Char('#') + QString::number(index + 1);
}

void ClipboardPasteboard::setItems(const QString& type, const QList<QByteArray>& items) {
    if (QClipboard* board = clipboard()) {
        auto* mime = new QMimeData;
        for (qsizetype i = 0; i < items.size(); ++i)
            mime->setData(formatOfItem(type, i), items.at(i));
        board->setMimeData(mime); // the clipboard takes ownership
    }
}

QList<QByteArray> ClipboardPasteboard::items(const QString& type) const {
    QClipboard* board = clipboard();
    const QMimeData* mime = board ? board->mimeData() : nullptr;
    QList<QByteArray> items;
    while (mime && mime->hasFormat(formatOfItem(type, items.size())))
        items.append(mime->data(formatOfItem(type, items.size())));
    return items;
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
