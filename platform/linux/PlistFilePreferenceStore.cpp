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
#include <cstring>
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

// Larger files are no preference files; reading one would only exhaust memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd)
        : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

bool readAll(int fd, qint64 size, QByteArray* out) {
    out->resize(size);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, out->data() + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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
    // Non-blocking, so that opening a FIFO returns at once; then only a regular
    // file is read.
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            m_cache.remove(path);
            return {};
        }
        qCWarning(lcPrefs) << "Cannot read preference file" << path << errnoText(error);
        return {{}, {}, errnoText(error)};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {{}, {}, errnoText(errno)};
    if (!S_ISREG(st.st_mode)) {
        qCWarning(lcPrefs) << "Not a regular file, left alone:" << path;
        return {{}, {}, QStringLiteral("it is not a regular file")};
    }
    if (st.st_size > kMaxFileSize)
        return {{}, {}, QStringLiteral("it is too large for a preference file")};
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    auto cached = m_cache.constFind(path);
    if (cached != m_cache.cend() && cached->inode == st.st_ino && cached->mtimeNs == mtimeNs &&
        cached->size == st.st_size)
        return {cached->values, {}, {}};

    QByteArray bytes;
    if (!readAll(fd.get(), st.st_size, &bytes))
        return {{}, {}, errnoText(errno ? errno : EIO)};
    auto decoded = plist::decode(bytes);
    if (!decoded || decoded->metaType().id() != QMetaType::QVariantMap) {
        const QString why = decoded ? QStringLiteral("it holds no dictionary") : decoded.error();
        qCWarning(lcPrefs) << "Preference file is not a property-list dictionary:" << path << why;
        m_cache.remove(path);
        return {{}, why, {}};
    }
    CacheEntry entry{quint64(st.st_ino), mtimeNs, qint64(st.st_size), decoded->toMap()};
    m_cache.insert(path, entry);
    return {entry.values, {}, {}};
}

QVariant PlistFilePreferenceStore::copyValue(const QString& key, const QString& applicationId) {
    QMutexLocker lock(&m_mutex);
    return readFile(fileForApplication(applicationId)).values.value(key);
}

Result<QVariant> PlistFilePreferenceStore::readValue(const QString& key,
                                                     const QString& applicationId) {
    const QString path = fileForApplication(applicationId);
    QMutexLocker lock(&m_mutex);
    const Snapshot snapshot = readFile(path);
    const QString& why = snapshot.unreadable.isEmpty() ? snapshot.corrupt : snapshot.unreadable;
    if (!why.isEmpty())
        return makeError(
            QStringLiteral("The preference file “%1” cannot be read: %2").arg(path, why));
    return snapshot.values.value(key);
}

QVariantMap PlistFilePreferenceStore::copyDomain(const QString& applicationId) {
    QMutexLocker lock(&m_mutex);
    return readFile(fileForApplication(applicationId)).values;
}

Result<void> PlistFilePreferenceStore::setValue(const QString& key, const QVariant& value,
                                                const QString& applicationId) {
    if (value.isValid() && !plist::isPlistValue(value))
        return makeError(
            QStringLiteral("The value for “%1” is not a property-list value.").arg(key));
    return updateValue(key, applicationId, [&](const QVariant& current) -> std::optional<QVariant> {
        if (!value.isValid() && !current.isValid())
            return std::nullopt; // nothing to remove; never create a file for it
        return value;
    });
}

Result<void> PlistFilePreferenceStore::updateValue(const QString& key, const QString& applicationId,
                                                   const ValueChange& change) {
    const QString path = fileForApplication(applicationId);
    const QString folder = QFileInfo(path).absolutePath();

    QMutexLocker lock(&m_mutex);
    if (!QDir().mkpath(folder))
        return makeError(QStringLiteral("The folder “%1” could not be created.").arg(folder));
    FolderLock folderLock(folder); // from the read to the rename: no writer falls in between

    Snapshot snapshot = readFile(path);
    if (!snapshot.unreadable.isEmpty()) // writing would replace values we never saw
        return makeError(QStringLiteral("The preference file “%1” cannot be read: %2")
                             .arg(path, snapshot.unreadable));
    const std::optional<QVariant> value = change(snapshot.values.value(key));
    if (!value)
        return success();
    if (value->isValid() && !plist::isPlistValue(*value))
        return makeError(
            QStringLiteral("The value for “%1” is not a property-list value.").arg(key));
    if (value->isValid())
        snapshot.values.insert(key, *value);
    else
        snapshot.values.remove(key);

    auto bytes = plist::encode(snapshot.values);
    if (!bytes)
        return makeError(bytes.error());
    if (!snapshot.corrupt.isEmpty()) {
        const QString keep =
            path + QStringLiteral(".corrupt-") +
            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddTHHmmsszzz"));
        if (!QFile::rename(path, keep))
            return makeError(
                QStringLiteral("The unreadable file “%1” could not be set aside.").arg(path));
        qCWarning(lcPrefs) << "Kept an unreadable preference file as" << keep;
    }
    // Temporary file in the same folder, fsync, rename; keeps the mode, and
    // writes through a symbolic link to its target.
    QSaveFile out(path);
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
