#pragma once

#include <QCoreApplication>
#include <QThread>

namespace qrv {

// Widgets, recorders and their shared state belong to the main thread.
inline void assertEditorMainThread() {
    Q_ASSERT(QCoreApplication::instance() &&
             QThread::currentThread() == QCoreApplication::instance()->thread());
}

} // namespace qrv
