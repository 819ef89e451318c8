#pragma once

#include <QLoggingCategory>

// One category per area, so a user can turn on e.g. QT_LOGGING_RULES="qrv.prefs=true".
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcPrefs)
Q_DECLARE_LOGGING_CATEGORY(lcScheduler)

// A soft assertion: logs a programmer error and lets the caller recover
// instead of aborting a user's session.
#define QRV_SOFT_ASSERT(cond, recovery)                                                            \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            qCWarning(lcPlatform, "Soft assertion failed: %s (%s:%d)", #cond, __FILE__, __LINE__); \
            recovery;                                                                              \
        }                                                                                          \
    } while (0)
