#include "platform/ApplicationLocation.h"

#include "platform/AppInfo.h"
#include "platform/Images.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qrv {

ApplicationLocation ApplicationLocation::forExecutable(const QString& executablePath) {
    const QDir executableFolder = QFileInfo(executablePath).absoluteDir();
    const QString folder = QDir::cleanPath(executableFolder.absolutePath());
    ApplicationLocation location;
    // Name.app/Contents/MacOS/<executable>: the layout bundle readers expect.
    const QString contents = QFileInfo(folder).path();
    const QString bundle = QFileInfo(contents).path();
    if (QFileInfo(folder).fileName() == QLatin1String("MacOS") &&
        QFileInfo(contents).fileName() == QLatin1String("Contents") &&
        bundle.endsWith(QLatin1String(".app"))) {
        location.bundlePath = bundle;
        location.dataDirectory = contents + QStringLiteral("/Resources");
    } else {
        location.dataDirectory = QDir::cleanPath(folder + QStringLiteral("/../share"));
    }
    return location;
}

ApplicationLocation ApplicationLocation::current() {
    return forExecutable(QCoreApplication::applicationFilePath());
}

QIcon applicationIcon(const QString& dataDirectory) {
    if (!canMakeIcons())
        return {};
    const QString name = QString::fromLatin1(appinfo::kBundleIdentifier);
    const QDir theme(dataDirectory + QStringLiteral("/icons/hicolor"));
    QIcon icon;
    // Bitmaps only: the scalable one needs Qt's SVG plugin, which may be missing.
    for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString file =
            theme.filePath(size + QStringLiteral("/apps/") + name + QStringLiteral(".png"));
        if (QFileInfo(file).isFile())
            icon.addFile(file);
    }
    return icon.isNull() ? QIcon::fromTheme(name) : icon;
}

} // namespace qrv
