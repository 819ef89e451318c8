#pragma once

#include <QIcon>
#include <QList>
#include <QMutex>
#include <QString>
#include <memory>
#include <optional>

namespace qrv {

class QRVMenuItem;
using QRVMenuItemList = QList<std::shared_ptr<QRVMenuItem>>;

// One entry of the application list: an application, or one of the two
// pseudo-entries ("All Applications", the separator) without identifier.
// Entries are shared and compared by identity where the selection is
// concerned; isEqual() compares bundle identifiers. Every property may be
// read from any thread (the menu lists are read by a background task).
class QRVAplication {
  public:
    explicit QRVAplication(QString bundleIdentifier = {}, QString localizedName = {});

    const QString& bundleIdentifier() const {
        return m_bundleIdentifier;
    } // null for the pseudo-entries

    QString localizedName() const;
    void setLocalizedName(const QString& name);
    QIcon icon() const;
    void setIcon(const QIcon& icon);

    // The menus as last read; nothing while not read.
    std::optional<QRVMenuItemList> topLevelMenuItems() const;
    void setTopLevelMenuItems(const std::optional<QRVMenuItemList>& items);
    std::optional<QRVMenuItemList> allMenuItems() const;
    void setAllMenuItems(const std::optional<QRVMenuItemList>& items);
    std::optional<QRVMenuItemList> nodeMenuItems() const;
    void setNodeMenuItems(const std::optional<QRVMenuItemList>& items);
    std::optional<QRVMenuItemList> leafMenuItems() const;
    void setLeafMenuItems(const std::optional<QRVMenuItemList>& items);

    // Equal bundle identifiers; an entry without one equals no other entry.
    bool isEqual(const QRVAplication& other) const;

  private:
    const QString m_bundleIdentifier;
    mutable QMutex m_mutex;
    QString m_localizedName;
    QIcon m_icon;
    std::optional<QRVMenuItemList> m_topLevelMenuItems, m_allMenuItems, m_nodeMenuItems,
        m_leafMenuItems;
};

using QRVAplicationPtr = std::shared_ptr<QRVAplication>;
using QRVAplicationList = QList<QRVAplicationPtr>;

} // namespace qrv
