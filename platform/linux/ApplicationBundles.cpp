#include "platform/linux/ApplicationBundles.h"

#include "platform/Images.h"
#include "platform/Logging.h"
#include "platform/plist/PlistCodec.h"
#include "platform/plist/StringsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace qrv::bundles {

namespace {

const QString kDesktopSuffix = QStringLiteral(".desktop");
const QString kIdentifierKey = QStringLiteral("CFBundleIdentifier");
const QString kNameKey = QStringLiteral("CFBundleName");
const QString kDisplayNameKey = QStringLiteral("CFBundleDisplayName");
const QString kIconFileKey = QStringLiteral("CFBundleIconFile");
const QString kDevelopmentRegionKey = QStringLiteral("CFBundleDevelopmentRegion");

// ---- application bundles

QVariantMap readDictionary(const QString& path, bool strings) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (strings) {
        auto decoded = plist::decodeStrings(bytes);
        if (!decoded)
            qCWarning(lcPlatform) << "Unreadable strings file" << path << decoded.error();
        return decoded.valueOr({});
    }
    auto decoded = plist::decode(bytes);
    if (!decoded || decoded->typeId() != QMetaType::QVariantMap) {
        qCWarning(lcPlatform) << "Unreadable bundle information" << path;
        return {};
    }
    return decoded->toMap();
}

QVariantMap localizedStrings(const QString& bundlePath, const QVariantMap& info) {
    QStringList languages = preferredLanguages();
    languages << info.value(kDevelopmentRegionKey).toString() << QStringLiteral("en")
              << QStringLiteral("English") << QStringLiteral("Base");
    for (const QString& language : std::as_const(languages)) {
        if (language.isEmpty())
            continue;
        const QString file = QStringLiteral("%1/Contents/Resources/%2.lproj/InfoPlist.strings")
                                 .arg(bundlePath, language);
        if (QFileInfo::exists(file))
            return readDictionary(file, true);
    }
    return {};
}

std::optional<ApplicationBundle> readAppBundle(const QString& path) {
    const QString infoPath = path + QStringLiteral("/Contents/Info.plist");
    const bool hasInfo = QFileInfo::exists(infoPath);
    if (!hasInfo && !path.endsWith(QLatin1String(".app"), Qt::CaseInsensitive))
        return std::nullopt;
    ApplicationBundle bundle;
    bundle.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    bundle.infoDictionary = hasInfo ? readDictionary(infoPath, false) : QVariantMap();
    bundle.localizedInfoDictionary = localizedStrings(bundle.path, bundle.infoDictionary);
    const QVariant identifier = bundle.infoDictionary.value(kIdentifierKey);
    if (identifier.typeId() == QMetaType::QString)
        bundle.bundleIdentifier = identifier.toString();
    return bundle;
}

// ---- desktop entries

struct DesktopEntry {
    QHash<QString, QString> values; // of the [Desktop Entry] group
    bool isApplication() const {
        return values.value(QStringLiteral("Type")) == QLatin1String("Application");
    }
    bool flag(const char* key) const {
        return values.value(QLatin1String(key)) == QLatin1String("true");
    }
    QString localized(const QString& key) const {
        for (const QString& language : preferredLanguages()) {
            const QString value = values.value(QStringLiteral("%1[%2]").arg(key, language));
            if (!value.isEmpty())
                return value;
        }
        return {};
    }
};

QString unescapeDesktopValue(const QString& raw) {
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw.at(i) != u'\\' || i + 1 == raw.size()) {
            out.append(raw.at(i));
            continue;
        }
        switch (raw.at(++i).unicode()) {
        case 's':
            out.append(u' ');
            break;
        case 'n':
            out.append(u'\n');
            break;
        case 't':
            out.append(u'\t');
            break;
        case 'r':
            out.append(u'\r');
            break;
        default:
            out.append(raw.at(i));
        }
    }
    return out;
}

std::optional<DesktopEntry> readDesktopEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            sawMainGroup |= inMainGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!entry.values.contains(key)) // the first of repeated keys counts
            entry.values.insert(key, unescapeDesktopValue(line.mid(equals + 1).trimmed()));
    }
    if (!sawMainGroup)
        return std::nullopt;
    return entry;
}

// The desktop-file id: the path below an applications folder with "/" as "-".
QString desktopFileId(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const QString prefix = QDir::cleanPath(folder) + QLatin1Char('/');
        if (absolute.startsWith(prefix))
            return absolute.mid(prefix.size()).replace(u'/', u'-');
    }
    return QFileInfo(absolute).fileName();
}

std::optional<ApplicationBundle> bundleFromDesktopEntry(const QString& path,
                                                        const DesktopEntry& entry) {
    if (!entry.isApplication() || entry.flag("Hidden"))
        return std::nullopt; // Hidden means deleted
    ApplicationBundle bundle;
    bundle.path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    bundle.bundleIdentifier = desktopFileId(path).chopped(kDesktopSuffix.size());
    const QString name = entry.values.value(QStringLiteral("Name"));
    bundle.infoDictionary = {{kIdentifierKey, bundle.bundleIdentifier},
                             {kNameKey, name},
                             {kDisplayNameKey, name},
                             {kIconFileKey, entry.values.value(QStringLiteral("Icon"))}};
    if (const QString localized = entry.localized(QStringLiteral("Name")); !localized.isEmpty())
        bundle.localizedInfoDictionary = {{kNameKey, localized}, {kDisplayNameKey, localized}};
    return bundle;
}

// "a-b-c" may live in a/b-c.desktop, a-b/c.desktop, a/b/c.desktop, ... Only
// subfolders that exist are followed: every dash could start one, and an
// identifier from the preferences must neither cost a number of look-ups that
// doubles with each dash nor name a file outside the folder ("..-x").
void collectDesktopEntryCandidates(const QDir& folder, const QString& prefix, const QString& id,
                                   QStringList& candidates) {
    candidates.append(prefix + id);
    for (qsizetype dash = id.indexOf(u'-'); dash > 0; dash = id.indexOf(u'-', dash + 1)) {
        const QString subfolder = prefix + id.left(dash);
        if (id.left(dash) == QLatin1String(".") || id.left(dash) == QLatin1String("..") ||
            !QFileInfo(folder.filePath(subfolder)).isDir())
            continue;
        collectDesktopEntryCandidates(folder, subfolder + QLatin1Char('/'), id.mid(dash + 1),
                                      candidates);
    }
}

QString locateDesktopEntry(const QString& id, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList names =
            dir.entryList({QStringLiteral("*") + kDesktopSuffix}, QDir::Files);
        QStringList candidates;
        collectDesktopEntryCandidates(dir, QString(), id, candidates);
        for (const QString& candidate : std::as_const(candidates)) {
            QString file;
            if (!candidate.contains(u'/')) {
                // Case-insensitively, like bundle identifiers.
                for (const QString& name : names)
                    if (name.chopped(kDesktopSuffix.size())
                            .compare(candidate, Qt::CaseInsensitive) == 0)
                        file = dir.filePath(name);
            } else if (QFileInfo::exists(dir.filePath(candidate + kDesktopSuffix))) {
                file = dir.filePath(candidate + kDesktopSuffix);
            }
            if (file.isEmpty())
                continue;
            const auto entry = readDesktopEntry(file);
            if (!entry || !entry->isApplication() || entry->flag("Hidden"))
                return {}; // an entry of this id here hides those of lower folders
            return entry->flag("NoDisplay") ? QString() : file;
        }
    }
    return {};
}

QString locateAppBundle(const QString& id, const QStringList& folders) {
    for (const QString& folder : folders) {
        QStringList bundles;
        const QDir dir(folder);
        for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (info.suffix().compare(QLatin1String("app"), Qt::CaseInsensitive) == 0) {
                bundles << info.filePath();
                continue;
            }
            for (const QFileInfo& inner :
                 QDir(info.filePath()).entryInfoList({QStringLiteral("*.app")}, QDir::Dirs))
                bundles << inner.filePath();
        }
        for (const QString& path : std::as_const(bundles)) {
            const QVariant identifier =
                readDictionary(path + QStringLiteral("/Contents/Info.plist"), false)
                    .value(kIdentifierKey);
            if (identifier.toString().compare(id, Qt::CaseInsensitive) == 0)
                return QDir::cleanPath(path);
        }
    }
    return {};
}

QIcon iconFromFile(const QString& path) {
    if (path.isEmpty() || !QImageReader(path).canRead())
        return {};
    return QIcon(path);
}

QIcon appBundleIcon(const QString& path) {
    const auto bundle = readAppBundle(path);
    QString name = bundle ? bundle->infoDictionary.value(kIconFileKey).toString() : QString();
    if (name.isEmpty())
        return {};
    const QString base = path + QStringLiteral("/Contents/Resources/") + name;
    for (const QString& candidate : {base, base + QStringLiteral(".icns"),
                                     base + QStringLiteral(".png"), base + QStringLiteral(".svg")})
        if (QIcon icon = iconFromFile(candidate); !icon.isNull())
            return icon;
    return {};
}

QIcon desktopEntryIcon(const QString& path) {
    const auto entry = readDesktopEntry(path);
    const QString icon = entry ? entry->values.value(QStringLiteral("Icon")) : QString();
    if (icon.isEmpty())
        return {};
    if (QDir::isAbsolutePath(icon))
        return iconFromFile(icon);
    return QIcon::fromTheme(icon);
}

} // namespace

QStringList preferredLanguages() {
    QStringList languages;
    for (QString language : QLocale::system().uiLanguages()) {
        language.replace(u'-', u'_');
        if (!languages.contains(language))
            languages << language;
        const QString bare = language.section(u'_', 0, 0);
        if (!languages.contains(bare))
            languages << bare;
    }
    return languages;
}

std::optional<QHash<QString, QString>> desktopEntryValues(const QString& path) {
    auto entry = readDesktopEntry(path);
    if (!entry)
        return std::nullopt;
    return std::move(entry->values);
}

SearchPaths defaultSearchPaths(const QString& preferencesHome) {
    SearchPaths paths;
    paths.bundleFolders << preferencesHome + QStringLiteral("/Applications");
    if (QFileInfo(QStringLiteral("/Applications")).isDir())
        paths.bundleFolders << QStringLiteral("/Applications");
    paths.desktopEntryFolders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    return paths;
}

std::optional<ApplicationBundle> read(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return readAppBundle(path);
    if (info.isFile() && path.endsWith(kDesktopSuffix)) {
        const auto entry = readDesktopEntry(path);
        return entry ? bundleFromDesktopEntry(path, *entry) : std::nullopt;
    }
    return std::nullopt;
}

QString locate(const QString& bundleIdentifier, const SearchPaths& paths) {
    if (bundleIdentifier.isEmpty() || bundleIdentifier.contains(u'/'))
        return {};
    QString found = locateAppBundle(bundleIdentifier, paths.bundleFolders);
    if (found.isEmpty())
        found = locateDesktopEntry(bundleIdentifier, paths.desktopEntryFolders);
    return found;
}

QString displayName(const QString& path) {
    const QFileInfo info(QDir::cleanPath(path));
    return info.fileName().isEmpty() ? info.filePath() : info.fileName();
}

QIcon iconForFile(const QString& path) {
    if (!canMakeIcons())
        return {};
    const QFileInfo info(path);
    QIcon icon;
    if (info.isDir() && read(path))
        icon = appBundleIcon(path);
    else if (info.isFile() && path.endsWith(kDesktopSuffix))
        icon = desktopEntryIcon(path);
    else if (info.exists()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    return icon.isNull() ? imageNamed(QStringLiteral("GenericAppIcon")) : icon;
}

} // namespace qrv::bundles
