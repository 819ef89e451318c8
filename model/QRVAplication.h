#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace qrv {

class QRVMenuItem;
using QRVMenuItemPtr = std::shared_ptr<QRVMenuItem>;
using QRVMenuItemList = QList<QRVMenuItemPtr>;

// One entry of the application list: an application, or one of the two
// pseudo-entries without a bundle identifier ("All Applications", which
// stands for the global domain, and the separator). The menu lists are the
// cached menus of the application, absent while not read.
class QRVAplication {
  public:
    QRVAplication() = default;
    QRVAplication(QString bundleIdentifier, QString localizedName);

    // Null (or empty) for the pseudo-entries.
    const QString& bundleIdentifier() const { return m_bundleIdentifier; }
    // The entry that stands for the global domain; the separator, which has
    // no name, is not it.
    bool isAllApplications() const {
        return m_bundleIdentifier.isEmpty() && !m_localizedName.isNull();
    }
    const QString& localizedName() const { return m_localizedName; }
    void setLocalizedName(const QString& name) { m_localizedName = name; }
    const QIcon& icon() const { return m_icon; }
    void setIcon(const QIcon& icon) { m_icon = icon; }

    const std::optional<QRVMenuItemList>& topLevelMenuItems() const { return m_topLevelMenuItems; }
    void setTopLevelMenuItems(std::optional<QRVMenuItemList> items) {
        m_topLevelMenuItems = std::move(items);
    }
    const std::optional<QRVMenuItemList>& allMenuItems() const { return m_allMenuItems; }
    void setAllMenuItems(std::optional<QRVMenuItemList> items) {
        m_allMenuItems = std::move(items);
    }
    const std::optional<QRVMenuItemList>& nodeMenuItems() const { return m_nodeMenuItems; }
    void setNodeMenuItems(std::optional<QRVMenuItemList> items) {
        m_nodeMenuItems = std::move(items);
    }
    const std::optional<QRVMenuItemList>& leafMenuItems() const { return m_leafMenuItems; }
    void setLeafMenuItems(std::optional<QRVMenuItemList> items) {
        m_leafMenuItems = std::move(items);
    }

    // Equal bundle identifiers; an entry without one equals no other entry.
    friend bool operator==(const QRVAplication& a, const QRVAplication& b);

  private:
    QString m_bundleIdentifier;
    QString m_localizedName;
    QIcon m_icon;
    std::optional<QRVMenuItemList> m_topLevelMenuItems;
    std::optional<QRVMenuItemList> m_allMenuItems;
    std::optional<QRVMenuItemList> m_nodeMenuItems;
    std::optional<QRVMenuItemList> m_leafMenuItems;
};

// Entries are shared: the selection and the list refer to the same objects.
using QRVAplicationPtr = std::shared_ptr<QRVAplication>;
using QRVAplicationList = QList<QRVAplicationPtr>;

} // namespace qrv
