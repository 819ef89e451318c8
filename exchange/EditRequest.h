#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace qrv {

// The members of a request file that the editor acts on; everything else
// ("keyEquivalent", "shortcut", "creator", the environment) is ignored.
// Members of the wrong JSON type read as absent.
struct EditRequest {
    bool isRequestOfVersion1 = false;
    QString bundleIdentifier; // empty: all applications
    std::optional<QString> localizedName;
    // Of the first shortcut: the item's title (absent: no particular item)
    // and the menus above it, outermost first.
    std::optional<QString> title;
    QStringList parents;

    static EditRequest fromUserInfo(const QJsonObject& userInfo);

    // The title as stored: ESC, the parents and the title joined with ESC
    // when there are parents; the title alone otherwise.
    QString pathTitle() const;
};

} // namespace qrv
