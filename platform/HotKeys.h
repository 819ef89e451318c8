#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>

namespace qrv {

// One system-wide keyboard shortcut (taking a screenshot, switching input
// sources, ...), as the platform's symbolic hot-key table gives it.
struct SymbolicHotKey {
    QString character;           // what the key types; empty when none is recorded
    quint16 keyCode = 0;         // the platform's virtual key code
    quint32 carbonModifiers = 0; // Command 0x100, Shift 0x200, Option 0x800, Control 0x1000
    bool enabled = true;
};

// The system-wide shortcuts a recorded key combination must not collide with.
class HotKeys {
  public:
    virtual ~HotKeys() = default;
    // Every entry, enabled or not, in the table's order. An error when the
    // table exists but cannot be understood (callers then skip the test).
    virtual Result<QList<SymbolicHotKey>> copySymbolicHotKeys() const = 0;
};

} // namespace qrv
