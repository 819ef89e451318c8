#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace qrv {

class KeyboardLayout;

// Key text of a key-equivalent string -> key code. Two halves: fixed entries
// for the keys whose text is a glyph or a function-key character, and the
// layout's entries (what each key types, lower-cased) laid over them.
class KeyEquivalentTable {
  public:
    using Entries = QHash<QString, quint16>;

    explicit KeyEquivalentTable(Entries entries)
        : m_entries(std::move(entries)) {}

    static Entries fixedEntries();
    // The layout half. Where two keys type the same text the higher key code
    // wins (the keypad digits over the main row). Empty without a layout.
    static Entries layoutEntries(const KeyboardLayout* layout);
    static KeyEquivalentTable build(const KeyboardLayout* layout);

    // The process-wide table, built on first use from the layout installed
    // then (on the main thread) and never rebuilt. Safe from any thread.
    static const KeyEquivalentTable& shared();

    // Exact, case-sensitive.
    std::optional<quint16> keyCode(const QString& text) const;
    const Entries& entries() const { return m_entries; }

  private:
    static KeyEquivalentTable withLayoutHalf(const Entries& layoutHalf);

    Entries m_entries;
};

} // namespace qrv
