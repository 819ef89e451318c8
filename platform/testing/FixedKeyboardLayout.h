#pragma once

#include "platform/KeyboardLayout.h"

#include <QHash>

namespace qrv::testing {

// A keyboard layout from a fixed table, for tests that must not depend on the
// machine's layout. Scan codes are the key codes plus 8, as on X11.
class FixedKeyboardLayout final : public KeyboardLayout {
  public:
    FixedKeyboardLayout(QHash<quint16, QString> texts, QString id, QString name)
        : m_texts(std::move(texts))
        , m_id(std::move(id))
        , m_name(std::move(name)) {}

    // The U.S. layout: letters, digits, punctuation, keypad (Num Lock on),
    // Space, Return, Tab, Delete and Escape as the platform translates them.
    static FixedKeyboardLayout us();

    QString translate(quint16 keyCode) const override { return m_texts.value(keyCode); }
    std::optional<quint16> keyCodeForScanCode(quint32 nativeScanCode) const override {
        if (nativeScanCode < 8 || nativeScanCode >= 8 + kKeyCodeCount)
            return std::nullopt;
        return quint16(nativeScanCode - 8);
    }
    QString inputSourceId() const override { return m_id; }
    QString localizedName() const override { return m_name; }

    void setText(quint16 keyCode, const QString& text) { m_texts.insert(keyCode, text); }

  private:
    QHash<quint16, QString> m_texts;
    QString m_id;
    QString m_name;
};

} // namespace qrv::testing
