#pragma once

#include "platform/PreferenceStore.h"

#include <QHash>
#include <QMutex>

namespace qrv {

// Preference domains as property-list files in a macOS-style home folder:
//   <home>/Library/Preferences/<id>.plist           an application's domain
//   <home>/Library/Preferences/.GlobalPreferences.plist   the global domain
//   <folder>/<bundle id>.plist                       for "<folder>/<bundle id>"
// Reads accept XML and binary; writes are binary, atomic, and keep the mode.
// A write is a read-modify-write under an advisory lock on the file's folder,
// so concurrent writers never lose each other's change. Only regular files are
// opened (a symbolic link to one is followed): a FIFO or device in place of a
// preference file is an error, never a read that waits for ever.
class PlistFilePreferenceStore final : public PreferenceStore {
  public:
    explicit PlistFilePreferenceStore(QString home);

    QVariant copyValue(const QString& key, const QString& applicationId) override;
    Result<QVariant> readValue(const QString& key, const QString& applicationId) override;
    Result<void> setValue(const QString& key, const QVariant& value,
                          const QString& applicationId) override;
    Result<void> updateValue(const QString& key, const QString& applicationId,
                             const ValueChange& change) override;
    QVariantMap copyDomain(const QString& applicationId) override;
    QMap<QString, QList<QUrl>> copyApplicationMap() override;

    const QString& home() const { return m_home; }
    // The file that holds a domain (public for diagnostics and tests).
    QString fileForApplication(const QString& applicationId) const;

  private:
    struct Snapshot {
        QVariantMap values;
        QString corrupt;    // readable bytes that are no dictionary (why): kept aside on write
        QString unreadable; // the file could not be read at all (why): never overwrite it
    };
    struct CacheEntry {
        quint64 inode = 0;
        qint64 mtimeNs = 0;
        qint64 size = -1;
        QVariantMap values;
    };

    Snapshot readFile(const QString& path);

    QString m_home;
    QMutex m_mutex;
    QHash<QString, CacheEntry> m_cache;
};

} // namespace qrv
