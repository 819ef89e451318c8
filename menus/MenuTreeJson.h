#pragma once

#include "menus/QRVMenuItem.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QJsonArray>

namespace qrv {

// The menu tree of an application as JSON, for people and tools outside the
// program: an array of the menu bar's items in order, each
//   {"title": "...", "key": "@$s", "children": [...]}
// where "key" is the item's key-equivalent string (absent when it has none)
// and "children" the items of its submenu (absent or empty for a leaf).
// Other members are ignored, so the form can grow.
struct MenuTreeJson {
    static QJsonArray toJson(const QRVMenuItemList& menuBar);

    // The menu bar's items with their whole subtrees, parents set. A text
    // that is not JSON fails with the line and column of the fault; JSON of
    // another form fails naming the offending member, such as
    // "[2].children[0].title".
    static Result<QRVMenuItemList> fromJson(const QByteArray& text);
    // The same from a file; the message starts with the file's path.
    static Result<QRVMenuItemList> fromFile(const QString& path);
};

} // namespace qrv
