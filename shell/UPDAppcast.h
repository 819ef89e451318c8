#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace qrv {

// One release offered by the update feed.
struct UPDAppcastItem {
    QString title;
    QString version;            // the build, compared with the program's CFBundleVersion
    QString shortVersionString; // shown to the user; the version when the feed gives none
    QUrl releaseNotesLink;      // may be empty
    QString itemDescription;    // inline notes (HTML), may be empty
    QUrl enclosureUrl;          // where the release is downloaded
    qint64 enclosureLength = 0;

    QString displayVersion() const {
        return shortVersionString.isEmpty() ? version : shortVersionString;
    }
};

// The update feed: an RSS 2.0 document whose items carry our elements in the
// namespace kNamespace (see docs/ARCHITECTURE.md for the elements read).
struct UPDAppcast {
    static inline const QString kNamespace =
        QStringLiteral("https://www.brackwyn.com/xml-namespaces/updates");
    // Larger feeds are refused before parsing.
    static constexpr qsizetype kMaximumBytes = 2 * 1024 * 1024;
    static constexpr int kMaximumItems = 1000;

    QList<UPDAppcastItem> items;

    // An error with a readable reason for anything that is not a usable feed.
    // Items that lack a version or a sound download address are left out; a
    // feed with items but none usable is an error.
    static Result<UPDAppcast> parse(const QByteArray& document);

    // The newest item (by version), or null when there is none.
    const UPDAppcastItem* newestItem() const;
};

} // namespace qrv
