#include "platform/linux/PlistFilePreferenceStore.h"

#include "platform/Logging.h"
#include "platform/PreferencesHome.h"
#include "platform/plist/PlistCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qrv {
namespace {

// Holds an exclusive advisory lock on a folder. Locking the folder rather than
// the file survives the rename that replaces the file, and leaves no lock files
// behind in the user's Preferences folder.
class FolderLock {
  public:
    explicit FolderLock(const QString& folder) {
        m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0) {
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) {
            ::fsync(m_fd); // makes the rename durable
            ::close(m_fd);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int m_fd = -1;
};

bool statFile(const QString& path, struct stat* st) {
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

} // namespace

PlistFilePreferenceStore::PlistFilePreferenceStore(QString home)
    : m_home(std::move(home)) {}

QString PlistFilePreferenceStore::fileForApplication(const QString& applicationId) const {
    const QString prefs = PreferencesHome::preferencesFolder(m_home);
    if (applicationId == kAnyApplication || applicationId == QLatin1String("NSGlobalDomain"))
        return prefs + QStringLiteral("/.GlobalPreferences.plist");
    if (applicationId.startsWith(QLatin1Char('/'))) {
        const qsizetype slash = applicationId.lastIndexOf(QLatin1Char('/'));
        return applicationId.left(slash) + QLatin1Char('/') + applicationId.mid(slash + 1) +
               QStringLiteral(".plist");
    }
    // A bundle identifier never holds a slash; one that does must not escape the folder.
    QString safe = applicationId;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    return prefs + QLatin1Char('/') + safe + QStringLiteral(".plist");
}

PlistFilePreferenceStore::Snapshot PlistFilePreferenceStore::readFile(const QString& path) {
    struct stat st {};
    if (!statFile(path, &st)) {
        m_cache.remove(path);
        return {};
    }
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    auto cached = m_cache.constFind(path);
    if (cached != m_cache.cend() && cached->inode == st.st_ino && cached->mtimeNs == mtimeNs &&
        cached->size == st.st_size)
        return {cached->values, false};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPrefs) << "Cannot read preference file" << path << file.errorString();
        return {{}, false, file.errorString()};
    }
    const QByteArray bytes = file.readAll();
    auto decoded = plist::decode(bytes);
    if (!decoded || decoded->metaType().id() != QMetaType::QVariantMap) {
        qCWarning(lcPrefs) << "Preference file is not a property-list dictionary:" << path;
        m_cache.remove(path);
        return {{}, true};
    }
    CacheEntry entry{quint64(st.st_ino), mtimeNs, qint64(st.st_size), decoded->toMap()};
    m_cache.insert(path, entry);
    return {entry.values, false};
}

QVariant PlistFilePreferenceStore::copyValue(const QString& key, const QString& applicationId) {
    QMutexLocker lock(&m_mutex);
    return readFile(fileForApplication(applicationId)).values.value(key);
}

QVariantMap PlistFilePreferenceStore::copyDomain(const QString& applicationId) {
    QMutexLocker lock(&m_mutex);
    return readFile(fileForApplication(applicationId)).values;
}

Result<void> PlistFilePreferenceStore::setValue(const QString& key, const QVariant& value,
                                                const QString& applicationId) {
    const QString path = fileForApplication(applicationId);
    const QString folder = QFileInfo(path).absolutePath();
    if (value.isValid() && !plist::isPlistValue(value))
        return makeError(
            QStringLiteral("The value for “%1” is not a property-list value.").arg(key));

    QMutexLocker lock(&m_mutex);
    if (!QDir().mkpath(folder))
        return makeError(QStringLiteral("The folder “%1” could not be created.").arg(folder));
    FolderLock folderLock(folder);

    Snapshot snapshot = readFile(path);
    if (!snapshot.unreadable.isEmpty()) // writing would replace values we never saw
        return makeError(QStringLiteral("The preference file “%1” cannot be read: %2")
                             .arg(path, snapshot.unreadable));
    if (!value.isValid() && !snapshot.values.contains(key))
        return success(); // nothing to remove; never create a file for it
    if (value.isValid())
        snapshot.values.insert(key, value);
    else
        snapshot.values.remove(key);

    if (snapshot.corrupt) {
        const QString keep =
            path + QStringLiteral(".corrupt-") +
            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmsszzz"));
        if (!QFile::rename(path, keep))
            return makeError(
                QStringLiteral("The unreadable file “%1” could not be set aside.").arg(path));
        qCWarning(lcPrefs) << "Kept an unreadable preference file as" << keep;
    }

    auto bytes = plist::encode(snapshot.values);
    if (!bytes)
        return makeError(bytes.error());
    QSaveFile out(path); // temporary file in the same folder, fsync, rename; keeps the mode
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.commit()) {
        qCWarning(lcPrefs) << "Cannot write preference file" << path << out.errorString();
        return makeError(QStringLiteral("The preference file “%1” could not be written: %2")
                             .arg(path, out.errorString()));
    }
    m_cache.remove(path);
    return success();
}

QMap<QString, QList<QUrl>> PlistFilePreferenceStore::copyApplicationMap() {
    QMap<QString, QList<QUrl>> map;
    const QDir containers(m_home + QStringLiteral("/Library/Containers"));
    const QStringList ids = containers.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& id : ids) {
        const QString prefs = containers.filePath(id) + QStringLiteral("/Data/Library/Preferences");
        if (QFileInfo(prefs).isDir())
            map.insert(id, {QUrl::fromLocalFile(prefs)});
    }
    return map;
}

} // namespace qrv
