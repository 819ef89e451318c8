#pragma once

#include "platform/HotKeys.h"

namespace qrv {

class PreferenceStore;

// The symbolic hot keys as the platform keeps them: "AppleSymbolicHotKeys" in
// the domain "com.apple.symbolichotkeys" of the preferences home, a
// dictionary from the hot key's number to {"enabled": bool, "value":
// {"parameters": [character, key code, modifiers], "type": "standard"}}.
// Read on every request, so a change made meanwhile counts.
class PreferencesHotKeys final : public HotKeys {
  public:
    explicit PreferencesHotKeys(PreferenceStore& preferences)
        : m_preferences(preferences) {}

    Result<QList<SymbolicHotKey>> copySymbolicHotKeys() const override;

    // The modifiers of a stored entry in Carbon bits. The platform stores its
    // event modifier flags (Shift 0x20000 ... Command 0x100000); a value in
    // Carbon bits is taken as it is, the two sets of bits being apart.
    static quint32 carbonModifiersOfStoredFlags(quint64 stored);

  private:
    PreferenceStore& m_preferences;
};

} // namespace qrv
