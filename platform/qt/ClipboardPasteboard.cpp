#include "platform/qt/ClipboardPasteboard.h"

#include "platform/Logging.h"
#include "platform/MainThread.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qrv {

static QClipboard* clipboard() {
    QRV_SOFT_ASSERT(qobject_cast<QGuiApplication*>(QCoreApplication::instance()), return nullptr);
    return QGuiApplication::clipboard();
}

void ClipboardPasteboard::setData(const QString& type, const QByteArray& data) {
    QRV_ASSERT_MAIN_THREAD();
    if (QClipboard* board = clipboard()) {
        auto* mime = new QMimeData;
        mime->setData(type, data);
        board->setMimeData(mime); // the clipboard takes ownership
    }
}

QByteArray ClipboardPasteboard::data(const QString& type) const {
    QRV_ASSERT_MAIN_THREAD();
    QClipboard* board = clipboard();
    const QMimeData* mime = board ? board->mimeData() : nullptr;
    return mime ? mime->data(type) : QByteArray();
}

} // namespace qrv
