#pragma once

#include "platform/KeyboardLayout.h"

#include <QHash>
#include <QString>
#include <array>
#include <memory>
#include <optional>

namespace qrv {

// Key text of a key-equivalent string -> key code. Two halves: fixed entries
// for the keys whose text is a glyph or a function-key character, and the
// layout's entries (what each key types, lower-cased) laid over them. The
// table also keeps what each key types (for key names), so that nothing but
// the main thread ever asks the layout service.
//
// A table is an immutable value. The process-wide one is replaced as a
// whole, on the main thread, and read from any thread without waiting.
class KeyEquivalentTable {
  public:
    using Entries = QHash<QString, quint16>;
    static constexpr int kKeyCodeCount = KeyboardLayout::kKeyCodeCount;
    using LayoutTexts = std::array<QString, kKeyCodeCount>;

    explicit KeyEquivalentTable(Entries entries, LayoutTexts layoutTexts = {})
        : m_entries(std::move(entries))
        , m_layoutTexts(std::move(layoutTexts)) {}

    static Entries fixedEntries();
    // The layout half. Where two keys type the same text the higher key code
    // wins (the keypad digits over the main row). Empty without a layout.
    static Entries layoutEntries(const KeyboardLayout* layout);
    static KeyEquivalentTable build(const KeyboardLayout* layout);

    // The process-wide table: the one last installed, else the fixed half
    // alone. Safe from any thread; never waits for another thread.
    static std::shared_ptr<const KeyEquivalentTable> shared();
    // Builds the process-wide table from the layout. Main thread only: at
    // start-up, and again whenever the layout changes.
    static void installShared(const KeyboardLayout& layout);
    // Back to the fixed half alone (test fixtures, for order independence).
    static void resetShared();

    // Exact, case-sensitive.
    std::optional<quint16> keyCode(const QString& text) const;
    const Entries& entries() const { return m_entries; }
    // What the key types on the table's layout; empty when unknown.
    QString layoutText(quint16 keyCode) const {
        return keyCode < kKeyCodeCount ? m_layoutTexts[keyCode] : QString();
    }

  private:
    Entries m_entries;
    LayoutTexts m_layoutTexts;
};

} // namespace qrv
