#pragma once

#include <QList>

namespace qrv {

// The system-wide hot keys (screenshots, input-source switching, ...) that a
// recorded shortcut must not collide with. (Implemented by the recorder work.)
struct SymbolicHotKey {
    quint16 keyCode = 0;
    quint64 modifierFlags = 0;
    bool enabled = true;
};

class HotKeys {
  public:
    virtual ~HotKeys() = default;
    virtual QList<SymbolicHotKey> symbolicHotKeys() const = 0;
};

} // namespace qrv
