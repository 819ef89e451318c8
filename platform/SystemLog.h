#pragma once

#include <QString>

namespace qrv {

// The system's log, for attaching this program's recent messages to a
// support request. (Implemented by the support work.)
class SystemLog {
  public:
    virtual ~SystemLog() = default;
    // The messages of one sender over the last day, as text.
    virtual QString recentMessages(const QString& sender) const = 0;
};

} // namespace qrv
