#pragma once

#include "model/QRVMenuShortcut.h"
#include "platform/Result.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace qrv {

// What importing an export file into one application would change, row by
// row, compared with the application's records. The file may come from any
// application: its shortcuts are rebound to the target, as paste does.
class ImportPreview {
  public:
    struct Row {
        enum class Kind {
            Added,     // no record has the title
            Changed,   // a record has the title with another key
            Unchanged, // a record has the title and the key
            Conflict,  // added or changed, but the key is another title's
        };
        Kind kind = Kind::Added;
        QString title;                                // as stored (a path starts with ESC)
        QString keyEquivalent;                        // the file's; empty for none
        std::optional<QString> existingKeyEquivalent; // the record's, when there is one
        QStringList conflictingTitles;                // titles that keep this key
    };

    // The preview of an export file's top-level object for the records of
    // the target application (`bundleIdentifier` empty for all applications).
    // Fails, with the reason, for anything but an export of version 1 or one
    // of more than kMaxShortcuts shortcuts.
    static Result<ImportPreview> make(const QJsonObject& file, const QString& bundleIdentifier,
                                      const QList<QRVMenuShortcutPtr>& existing);

    const QList<Row>& rows() const { return m_rows; }
    // Where the file's shortcuts came from, for the preview's heading.
    const QString& sourceBundleIdentifier() const { return m_sourceBundleIdentifier; }
    const QString& sourceName() const { return m_sourceName; }
    // File entries without a usable title, and later entries repeating a title.
    int skippedEntries() const { return m_skipped; }

    // The records after applying the given rows (all when none are given):
    // changed keys are set on the existing records, added ones appended, and a
    // placeholder row dropped. The editor then saves once, as after a paste.
    QList<QRVMenuShortcutPtr> apply(const QList<QRVMenuShortcutPtr>& existing,
                                    const std::optional<QList<qsizetype>>& rowIndexes = {}) const;

  private:
    QList<Row> m_rows;
    QString m_bundleIdentifier;
    QString m_sourceBundleIdentifier;
    QString m_sourceName;
    int m_skipped = 0;
};

} // namespace qrv
