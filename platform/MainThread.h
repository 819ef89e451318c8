#pragma once

#include "platform/Logging.h"

#include <QCoreApplication>
#include <QThread>

namespace qrv {

// True on the thread of the application object (and before one exists, when
// only the main thread runs).
inline bool isMainThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

} // namespace qrv

// For methods of main-thread services and controllers. Debug builds (the
// sanitizer suites) stop at the first call from another thread; release
// builds log it, as a soft assertion does.
#ifdef QT_NO_DEBUG
#define QRV_ASSERT_MAIN_THREAD()                                                                   \
    QRV_SOFT_ASSERT(::qrv::isMainThread() && "must run on the main thread", (void)0)
#else
#define QRV_ASSERT_MAIN_THREAD()                                                                   \
    Q_ASSERT_X(::qrv::isMainThread(), Q_FUNC_INFO, "must run on the main thread")
#endif
