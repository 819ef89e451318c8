#include "model/UsageCounters.h"

#include "platform/Platform.h"
#include "platform/UserDefaults.h"

#include <atomic>

namespace qrv::usage {

void countEdits(qint64 edits) {
    UserDefaults* defaults = platform().userDefaults;
    if (!defaults || edits <= 0)
        return;
    const QString operations = QString::fromLatin1(kOperationsKey);
    defaults->setInteger(operations, defaults->integerForKey(operations) + edits);
    static std::atomic<bool> sessionCounted{false};
    if (!sessionCounted.exchange(true)) {
        const QString sessions = QString::fromLatin1(kSessionsKey);
        defaults->setInteger(sessions, defaults->integerForKey(sessions) + 1);
    }
}

} // namespace qrv::usage
