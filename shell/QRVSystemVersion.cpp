#include "shell/QRVSystemVersion.h"

#include "platform/plist/PlistCodec.h"

#include <QFile>
#include <QStringList>
#include <QSysInfo>

namespace qrv {
namespace {

QString productVersionFrom(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return {};
    const Result<QVariant> decoded = plist::decode(file.readAll());
    if (!decoded || decoded->typeId() != QMetaType::QVariantMap)
        return {};
    const QVariant version = decoded->toMap().value(QStringLiteral("ProductUserVisibleVersion"));
    return version.typeId() == QMetaType::QString ? version.toString() : QString();
}

} // namespace

QRVSystemVersion QRVSystemVersion::fromString(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    QRVSystemVersion version;
    qint64* fields[] = {&version.major, &version.minor, &version.patch};
    for (qsizetype i = 0; i < 3 && i < parts.size(); ++i) {
        bool ok = false;
        // "5-1-amd64" (a kernel's patch part) counts by its leading digits.
        QString digits;
        for (const QChar c : parts[i]) {
            if (!c.isDigit())
                break;
            digits += c;
        }
        const qint64 value = digits.left(9).toLongLong(&ok);
        *fields[i] = ok ? value : 0;
    }
    return version;
}

QRVSystemVersion QRVSystemVersion::current() {
    const QString product = QSysInfo::productVersion();
    QRVSystemVersion version = fromString(product);
    if (version.major == 0)
        version = fromString(QSysInfo::kernelVersion());
    return version;
}

QString QRVSystemVersion::majorVersionString() const {
    if (major <= 10)
        return QStringLiteral("%1.%2").arg(major).arg(minor);
    return QString::number(major);
}

QString operatingSystemUserAgentPart(const QString& preferencesHome,
                                     const QRVSystemVersion& running) {
    const QString folder = preferencesHome + QStringLiteral("/System/Library/CoreServices/");
    for (const char* name : {".SystemVersionPlatform.plist", "SystemVersion.plist"}) {
        const QString version = productVersionFrom(folder + QLatin1String(name));
        if (!version.isEmpty())
            return QStringLiteral("Macintosh; Intel Mac OS X %1")
                .arg(QString(version).replace(QLatin1Char('.'), QLatin1Char('_')));
    }
    return QStringLiteral("Macintosh; Intel Mac OS X %1_%2_%3")
        .arg(running.major)
        .arg(running.minor)
        .arg(running.patch);
}

} // namespace qrv
