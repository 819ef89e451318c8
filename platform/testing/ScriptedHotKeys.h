#pragma once

#include "platform/HotKeys.h"

namespace qrv::testing {

// Answers the hot keys (or the failure) the test sets, and counts the requests.
class ScriptedHotKeys final : public HotKeys {
  public:
    Result<QList<SymbolicHotKey>> copySymbolicHotKeys() const override {
        ++requests;
        if (!failure.isEmpty())
            return makeError(failure);
        return hotKeys;
    }

    QList<SymbolicHotKey> hotKeys;
    QString failure; // non-empty: every request fails with this message
    mutable int requests = 0;
};

} // namespace qrv::testing
