#pragma once

#include "model/KSCShortcut.h"
#include "platform/Result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace qrv {

class KeyEquivalentTable;
class QRVAplication;
class QRVMenuShortcut;
// Records are handled by reference: two records are the same only when they
// are the same object, however alike their fields.
using QRVMenuShortcutPtr = std::shared_ptr<QRVMenuShortcut>;

// One user key equivalent: the application it belongs to (a null bundle
// identifier stands for all applications), the menu title it names and the
// key-equivalent string it assigns. A title that starts with ESC is a menu
// path: ESC before each title from the top-level menu down to the item.
class QRVMenuShortcut {
  public:
    static constexpr QChar kPathSeparator = QChar(0x1B);
    static constexpr QChar kDisplayPathSeparator = QChar(0x2192); // →

    QRVMenuShortcut(QString bundleIdentifier, QString title, QString keyEquivalent);
    static QRVMenuShortcutPtr create(const QString& bundleIdentifier, const QString& title,
                                     const QString& keyEquivalent);
    // A shortcut that has no key-equivalent string leaves the key null.
    static QRVMenuShortcutPtr create(const QString& bundleIdentifier, const QString& title,
                                     const KSCShortcut* shortcut);

    bool operator==(const QRVMenuShortcut&) const = delete; // identity only: compare pointers

    const QString& bundleIdentifier() const { return m_bundleIdentifier; }
    void setBundleIdentifier(const QString& bundleIdentifier) {
        m_bundleIdentifier = bundleIdentifier;
    }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title);
    const QString& keyEquivalent() const { return m_keyEquivalent; }
    // Also drops a stored value that was not a string.
    void setKeyEquivalent(const QString& keyEquivalent);
    // A table entry whose value is not a string reads as a record without a
    // key that carries the value, so that a save writes it back unchanged
    // until the record gets a key.
    const QVariant& storedValue() const { return m_storedValue; }
    void setStoredValue(const QVariant& value) { m_storedValue = value; }
    bool isPlaceholder() const { return m_isPlaceholder; }
    void setIsPlaceholder(bool isPlaceholder) { m_isPlaceholder = isPlaceholder; }
    const QString& warningMessage() const { return m_warningMessage; }
    void setWarningMessage(const QString& message) { m_warningMessage = message; }

    // The title for editing: a path without its leading ESC.
    QString displayTitle() const;
    // Turns edited text back into a title: text with an inner ESC becomes a path.
    void setDisplayTitle(const QString& text);
    // The title for messages: a path with "→" between its titles.
    QString beautifiedTitle() const;
    static QString beautifiedTitle(const QString& title);

    // The key combination of the key equivalent, computed on every call; null
    // when there is none or its key text names no key.
    KSCShortcutPtr shortcut() const;
    void setShortcut(const KSCShortcut* shortcut);

    // The sum of the hashes of title, key equivalent and bundle identifier.
    size_t hash() const;

    // Conversions between key-equivalent strings and key combinations.
    static KSCShortcutPtr shortcutFromKeyEquivalent(const QString& keyEquivalent);
    // The same against a given table instead of the process-wide one.
    static KSCShortcutPtr shortcutFromKeyEquivalent(const QString& keyEquivalent,
                                                    const KeyEquivalentTable& table);
    static QString keyEquivalentFromShortcut(const KSCShortcut* shortcut);
    // A key-equivalent string taken apart as it is read: the modifiers of its
    // leading modifier characters, and the rest, which must name the key.
    struct KeyEquivalentParts {
        quint64 modifierFlags = 0;
        QString keyText;
    };
    static KeyEquivalentParts keyEquivalentParts(const QString& keyEquivalent);
    static std::optional<quint16> keyCodeFromString(const QString& text);
    // The current layout's texts (lower-cased) -> key codes.
    static QHash<QString, quint16> stringsForKeyCodes();

    // The pasteboard form: one property-list dictionary per record.
    static const QString kPasteboardType;
    QVariantMap pasteboardPropertyList() const;
    // Fields are taken as they are (another type reads as its text); null for a
    // non-dictionary.
    static QRVMenuShortcutPtr fromPasteboardPropertyList(const QVariant& propertyList);
    // One pasteboard item per record, each a binary property list. False when
    // there is no pasteboard or nothing to write.
    static bool writeToPasteboard(const QList<QRVMenuShortcutPtr>& shortcuts);
    // Every item of our type; an item may also be an array of records.
    static QList<QRVMenuShortcutPtr> readFromPasteboard();

    // The store: an application's user key equivalents ("NSUserKeyEquivalents"
    // of its preference domain; the global domain for all applications).
    static const QString kUserKeyEquivalentsKey;
    static const QString kChangeNotificationName;
    // The platform's list of applications with custom menu shortcuts: bundle
    // identifiers, and "NSGlobalDomain" for all applications.
    static const QString kRegistrationDomain;
    static const QString kRegistrationKey;
    // Why a bundle identifier names no application's domain (another name of
    // the global domain, a path, empty components, control characters); null
    // when it names one. Only the absent identifier means all applications.
    static QString bundleIdentifierProblem(const QString& bundleIdentifier);
    // The stored table as read; invalid when there is none or it cannot be read.
    static QVariant userKeyEquivalentsForApplication(const QRVAplication& application);
    // The records of the table, sorted by title; `tableAsRead` receives the
    // table as read (to notice later whether it changed). A preference file
    // that cannot be read is an error naming it, never an empty table.
    static Result<QList<QRVMenuShortcutPtr>> readMenuShortcuts(const QRVAplication& application,
                                                               QVariant* tableAsRead = nullptr);
    // The same, with no records (and a logged warning) when the table cannot be read.
    static QList<QRVMenuShortcutPtr> menuShortcutsWithApplication(const QRVAplication& application,
                                                                  QVariant* tableAsRead = nullptr);
    // Writes the application's table from the records that belong to it.
    // False when a record had an empty or repeated title (it is left out) or a
    // preference file could not be written; `problem` then says why, and
    // `writeError` only what is about files (empty when every write that was
    // needed succeeded). A changed table is written whatever the result.
    // Copies and the registration are brought in line with the table as it is
    // on disk, so a save that was interrupted or failed half-way is finished
    // by the next one.
    static bool saveMenuShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts,
                                  const QRVAplication& application, QString* problem = nullptr,
                                  QString* writeError = nullptr);
    // A save of the records as they are on disk after `edit`, with the table
    // locked from the read to the write, so that concurrent edits of other
    // processes are kept. `edit` must not use the store.
    static bool updateMenuShortcuts(const QRVAplication& application,
                                    const std::function<void(QList<QRVMenuShortcutPtr>&)>& edit,
                                    QString* problem = nullptr, QString* writeError = nullptr);

  private:
    mutable std::optional<QString> m_displayTitle;
    mutable std::optional<QString> m_beautifiedTitle;
    bool m_isPlaceholder = false;
    QString m_bundleIdentifier;
    QString m_title;
    QString m_keyEquivalent;
    QString m_warningMessage;
    QVariant m_storedValue;
};

} // namespace qrv
