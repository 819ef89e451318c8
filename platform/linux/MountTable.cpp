#include "platform/linux/MountTable.h"

#include "platform/BundleMoveSystem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qrv::mounts {

namespace {

// "\040" and friends: the kernel's escapes for white space and backslashes.
QString unescapeField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) {
            return field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2) &&
            isOctal(i + 3)) {
            out.append(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                         (field[i + 3] - '0')));
            i += 3;
        } else {
            out.append(field[i]);
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

QList<Mount> parseMountInfo(const QByteArray& text) {
    // id parent major:minor root mount-point options [optional fields...] - type source
    // super-options
    QList<Mount> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArrayLiteral("-"));
        if (separator < 6 || separator + 2 >= fields.size())
            continue;
        mounts.append({unescapeField(fields[4]), unescapeField(fields[separator + 1]),
                       unescapeField(fields[separator + 2])});
    }
    return mounts;
}

std::optional<Mount> mountHolding(const QList<Mount>& mounts, const QString& path) {
    std::optional<Mount> best;
    for (const Mount& mount : mounts) {
        if (!isPathInside(path, mount.mountPoint))
            continue;
        if (!best || mount.mountPoint.size() >= best->mountPoint.size())
            best = mount;
    }
    return best;
}

QHash<QString, QString> parseLoopDevices(const QByteArray& json) {
    QHash<QString, QString> devices;
    const QJsonArray list = QJsonDocument::fromJson(json).object().value(u"loopdevices").toArray();
    for (const QJsonValue& entry : list) {
        const QString name = entry.toObject().value(u"name").toString();
        const QString backingFile = entry.toObject().value(u"back-file").toString();
        if (!name.isEmpty() && !backingFile.isEmpty())
            devices.insert(name, backingFile);
    }
    return devices;
}

} // namespace qrv::mounts
