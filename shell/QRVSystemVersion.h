#pragma once

#include <QString>

namespace qrv {

// The operating system's version numbers, as the update feed and the user
// agent report them.
struct QRVSystemVersion {
    qint64 major = 0;
    qint64 minor = 0;
    qint64 patch = 0;

    // The running system: its product version (Debian "12.8" is 12.8.0),
    // else the kernel's.
    static QRVSystemVersion current();
    // "14.5.1" -> 14, 5, 1; missing or non-numeric parts are 0.
    static QRVSystemVersion fromString(const QString& text);

    // "%ld.%ld" up to major version 10, "%ld" above (the feed parameter).
    QString majorVersionString() const;
};

// The operating-system part of the updater's user agent: the product
// version from the system-version property lists under the preferences home
// (a home copied from a Mac carries them), else the running system's numbers.
QString operatingSystemUserAgentPart(const QString& preferencesHome,
                                     const QRVSystemVersion& running);

} // namespace qrv
