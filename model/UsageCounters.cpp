#include "model/UsageCounters.h"

#include "platform/Platform.h"
#include "platform/UserDefaults.h"

#include <atomic>

namespace qrv::usage {

void countEdits(qint64 edits) {
    UserDefaults* defaults = platform().userDefaults;
    if (!defaults || edits <= 0)
        return;
    // Other processes (the command-line tool, a second instance) count too.
    defaults->addToInteger(QString::fromLatin1(kOperationsKey), edits);
    static std::atomic<bool> sessionCounted{false};
    if (!sessionCounted.exchange(true))
        defaults->addToInteger(QString::fromLatin1(kSessionsKey), 1);
}

} // namespace qrv::usage
