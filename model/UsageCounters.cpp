#include "model/UsageCounters.h"

#include "platform/UserDefaults.h"

#include <atomic>

namespace qrv::usage {

namespace {
std::atomic<bool> g_sessionCounted{false};
} // namespace

void countEdits(UserDefaults& defaults, qint64 edits) {
    if (edits <= 0)
        return;
    // Other processes (the command-line tool, a second instance) count too.
    defaults.addToInteger(QString::fromLatin1(kOperationsKey), edits);
    if (!g_sessionCounted.exchange(true))
        defaults.addToInteger(QString::fromLatin1(kSessionsKey), 1);
}

void resetSession() {
    g_sessionCounted = false;
}

} // namespace qrv::usage
