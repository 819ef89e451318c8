#pragma once

#include "platform/KeyboardLayout.h"
#include "platform/Result.h"

#include <QHash>
#include <array>
#include <memory>

namespace qrv {

// A keyboard layout compiled by xkbcommon from the system's XKB data. The
// platform's key codes are placed on the XKB keys at the same positions (the
// Help key on Insert, keypad Clear on Num Lock, the ISO key beside the left
// Shift on <LSGT>). Keys are translated once, with Num Lock on so the keypad
// gives its digits, and kept.
class XkbKeyboardLayout final : public KeyboardLayout {
  public:
    struct Names {
        QString layout; // an XKB layout name such as "us" or "de"
        QString variant;
    };

    static Result<std::unique_ptr<XkbKeyboardLayout>> create(const Names& names);
    // The user's layout: $XKB_DEFAULT_LAYOUT / $XKB_DEFAULT_VARIANT, else the
    // system keyboard configuration (/etc/default/keyboard), else "us".
    static Names userLayoutNames();

    QString translate(quint16 keyCode) const override;
    std::optional<quint16> keyCodeForScanCode(quint32 nativeScanCode) const override;
    QString inputSourceId() const override { return m_inputSourceId; }
    QString localizedName() const override { return m_localizedName; }

  private:
    XkbKeyboardLayout() = default;

    std::array<QString, kKeyCodeCount> m_texts;
    QHash<quint32, quint16> m_keyCodesByScanCode;
    QString m_inputSourceId;
    QString m_localizedName;
};

} // namespace qrv
