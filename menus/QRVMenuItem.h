#pragma once

#include "platform/Accessibility.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace qrv {

class QRVMenuItem;
using QRVMenuItemPtr = std::shared_ptr<QRVMenuItem>;
using QRVMenuItemList = QList<QRVMenuItemPtr>;

// Change notification of one menu item, made when somebody first observes it.
// The derived titles depend on "title" and "parent": each change of either
// also signals the three derived values.
class QRVMenuItemChanges : public QObject {
    Q_OBJECT
  signals:
    void titleChanged();
    void parentChanged();
    void parentTitlesChanged();
    void hierarchyTitlesChanged();
    void fullDisplayTitleChanged();
};

// One item of a running application's menus, read through the accessibility
// service. Construction reads the element's whole subtree: the title, check
// mark and key equivalent of each item and its titled children in menu order.
// The tree holds its children strongly and its parent weakly.
class QRVMenuItem : public std::enable_shared_from_this<QRVMenuItem> {
  public:
    // The separator of menu paths: a path names an item by the titles from its
    // top-level menu down, joined with ESC.
    static constexpr QChar kPathSeparator = QChar(0x1B);

    // Builds an item from an element. A null element gives an empty item and
    // reads nothing. loadChildren is handed to every child unchanged and does
    // not limit what is read: completion and validation need the whole tree.
    static QRVMenuItemPtr initWithElement(Accessibility& accessibility,
                                          AccessibilityElementRef element, bool loadChildren);
    QRVMenuItem() = default;
    ~QRVMenuItem();
    QRVMenuItem(const QRVMenuItem&) = delete;
    QRVMenuItem& operator=(const QRVMenuItem&) = delete;

    const AccessibilityElementRef& element() const { return m_element; }

    const QString& title() const { return m_title; } // null when the item has none
    void setTitle(const QString& title);             // clears the derived titles
    QRVMenuItemPtr parent() const { return m_parent.lock(); }
    void setParent(const QRVMenuItemPtr& parent); // clears the derived titles
    const QRVMenuItemList& children() const { return m_children; }
    void setChildren(const QRVMenuItemList& children) { m_children = children; }
    bool hasCheckmark() const { return m_hasCheckmark; }
    void setHasCheckmark(bool on) { m_hasCheckmark = on; }
    bool prefersFullTitle() const { return m_prefersFullTitle; }
    void setPrefersFullTitle(bool on) { m_prefersFullTitle = on; }
    // In the key-equivalent notation ("@~^$" then the key); null when none.
    const QString& keyEquivalent() const { return m_keyEquivalent; }
    void setKeyEquivalent(const QString& keyEquivalent) { m_keyEquivalent = keyEquivalent; }

    // The titles of the ancestors, top-level first; nothing without a parent.
    std::optional<QStringList> parentTitles() const;
    // parentTitles followed by the item's own title.
    QStringList hierarchyTitles() const;
    // hierarchyTitles joined with kPathSeparator, without leading separator.
    QString fullDisplayTitle() const;

    // Drops the given children (compared by identity), keeping the others' order.
    void removeChildren(const QRVMenuItemList& children);

    QRVMenuItemChanges* changes();

    // Reading one attribute of an element: nothing when the read fails or the
    // value is of another type. Nothing is logged.
    static QString titleForElement(Accessibility& accessibility,
                                   const AccessibilityElementRef& element);
    static QString stringForAttribute(Accessibility& accessibility, const QString& attribute,
                                      const AccessibilityElementRef& element);
    static std::optional<double> numberForAttribute(Accessibility& accessibility,
                                                    const QString& attribute,
                                                    const AccessibilityElementRef& element);
    static std::optional<AccessibilityElementList>
    arrayForAttribute(Accessibility& accessibility, const QString& attribute,
                      const AccessibilityElementRef& element);

    // The key equivalent that the accessibility attributes describe (the
    // character, the modifier bits, the menu glyph); null when none.
    static QString keyEquivalentFor(const QString& character, std::optional<double> modifiers,
                                    std::optional<double> glyph);

  private:
    void _loadAttributes(Accessibility& accessibility, const AccessibilityElementRef& element);
    void _loadChildren(Accessibility& accessibility, const AccessibilityElementRef& element,
                       bool loadChildren);
    void clearCaches();
    void notifyTitlesChanged(void (QRVMenuItemChanges::*primary)());

    AccessibilityElementRef m_element;
    mutable std::optional<std::optional<QStringList>> m_parentTitlesCache;
    mutable std::optional<QStringList> m_hierarchyTitlesCache;
    mutable std::optional<QString> m_fullDisplayTitleCache;
    bool m_hasCheckmark = false;
    bool m_prefersFullTitle = false;
    std::weak_ptr<QRVMenuItem> m_parent;
    QRVMenuItemList m_children;
    QString m_title;
    QString m_keyEquivalent;
    std::unique_ptr<QRVMenuItemChanges> m_changes;
};

} // namespace qrv
