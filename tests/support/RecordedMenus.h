#pragma once

// Builders for recorded menus (see RecordedAccessibility.h for the format).
#include "menus/QRVMenuItem.h"

#include <QJsonArray>
#include <QJsonObject>

namespace qrv::testing::menus {

inline QJsonObject item(const QString& title, QJsonObject attributes = {}) {
    attributes.insert("AXRole", "AXMenuItem");
    if (!title.isNull())
        attributes.insert("AXTitle", title);
    return attributes;
}

inline QJsonObject withChildren(QJsonObject element, const QJsonArray& children) {
    element.insert("AXChildren", children);
    return element;
}

// An item with a submenu, reached through its single "AXMenu" element as the platform shows it.
inline QJsonObject submenu(QJsonObject element, const QJsonArray& items) {
    return withChildren(std::move(element),
                        QJsonArray{QJsonObject{{"AXRole", "AXMenu"}, {"AXChildren", items}}});
}

inline QJsonObject menuBarItem(const QString& title, const QJsonArray& items) {
    return submenu(QJsonObject{{"AXRole", "AXMenuBarItem"}, {"AXTitle", title}}, items);
}

inline QJsonObject application(const QJsonArray& menuBarItems) {
    return QJsonObject{
        {"AXRole", "AXApplication"},
        {"AXMenuBar", QJsonObject{{"AXRole", "AXMenuBar"}, {"AXChildren", menuBarItems}}}};
}

inline QJsonObject failure(int code) {
    return QJsonObject{{"$error", code}};
}

// The titles of items, in order.
inline QStringList titles(const std::optional<QRVMenuItemList>& items) {
    QStringList out;
    for (const auto& item : items.value_or(QRVMenuItemList{}))
        out << item->title();
    return out;
}

} // namespace qrv::testing::menus
