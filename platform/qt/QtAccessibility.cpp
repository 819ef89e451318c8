#include "platform/qt/QtAccessibility.h"

#include "platform/qt/MenuKeyMapping.h"

#include <QAccessible>
#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

namespace qrv {

namespace {

class QtElement final : public AccessibilityElement {
  public:
    // An application element when id is 0, else the element of one interface.
    QtElement(qint64 processId, QAccessible::Id id)
        : processId(processId)
        , id(id) {}
    const qint64 processId;
    const QAccessible::Id id;
};

using Answer = AccessibilityResult<AccessibilityValue>;

AccessibilityElementRef elementFor(QAccessibleInterface* iface) {
    return std::make_shared<QtElement>(QCoreApplication::applicationPid(),
                                       QAccessible::uniqueId(iface));
}

QAction* actionOf(QAccessibleInterface* iface) {
    return qobject_cast<QAction*>(iface->object());
}

QString roleOf(QAccessibleInterface* iface) {
    switch (iface->role()) {
    case QAccessible::MenuBar:
        return ax::kMenuBarRole;
    case QAccessible::PopupMenu:
        return ax::kMenuRole;
    case QAccessible::MenuItem: {
        QAccessibleInterface* parent = iface->parent();
        return parent && parent->role() == QAccessible::MenuBar ? ax::kMenuBarItemRole
                                                                : ax::kMenuItemRole;
    }
    case QAccessible::Separator:
        return ax::kMenuItemRole; // as the platform shows separators: items without a title
    default:
        return ax::kUnknownRole;
    }
}

AccessibilityElementList childrenOf(QAccessibleInterface* iface) {
    AccessibilityElementList children;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child)
            continue;
        if (QAction* action = actionOf(child); action && !action->isVisible())
            continue;
        children.append(elementFor(child));
    }
    return children;
}

QAccessibleInterface* findMenuBar(QAccessibleInterface* iface, int depth) {
    if (!iface)
        return nullptr;
    if (iface->role() == QAccessible::MenuBar)
        return iface;
    if (depth == 0)
        return nullptr;
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* found = findMenuBar(iface->child(i), depth - 1))
            return found;
    return nullptr;
}

// The menu bar of the active window, else of the first window that has one.
QAccessibleInterface* applicationMenuBar() {
    if (QWindow* focus = QGuiApplication::focusWindow())
        if (QAccessibleInterface* found = findMenuBar(focus->accessibleRoot(), 2))
            return found;
    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    if (!app)
        return nullptr;
    for (int i = 0; i < app->childCount(); ++i)
        if (QAccessibleInterface* found = findMenuBar(app->child(i), 2))
            return found;
    return nullptr;
}

Answer applicationAttribute(const QString& attribute) {
    if (attribute == ax::kRole)
        return AccessibilityValue(ax::kApplicationRole);
    if (attribute == ax::kTitle)
        return AccessibilityValue(QGuiApplication::applicationDisplayName());
    if (attribute == ax::kMenuBar || attribute == ax::kChildren) {
        QAccessibleInterface* menuBar = applicationMenuBar();
        if (!menuBar)
            return attribute == ax::kMenuBar
                       ? Answer(ax::Error::kNoValue)
                       : Answer(AccessibilityValue(AccessibilityElementList{}));
        if (attribute == ax::kMenuBar)
            return AccessibilityValue(elementFor(menuBar));
        return AccessibilityValue(AccessibilityElementList{elementFor(menuBar)});
    }
    return ax::Error::kAttributeUnsupported;
}

Answer keyAttribute(QAccessibleInterface* iface, const QString& attribute) {
    QAction* action = actionOf(iface);
    const QKeySequence shortcut = action ? action->shortcut() : QKeySequence();
    return menuKeyAttributeValue(shortcut.isEmpty() ? std::nullopt : menuKeyAttributes(shortcut[0]),
                                 attribute);
}

Answer interfaceAttribute(QAccessibleInterface* iface, const QString& attribute) {
    const QString role = roleOf(iface);
    const bool isItem = role == ax::kMenuItemRole || role == ax::kMenuBarItemRole;
    if (attribute == ax::kRole)
        return AccessibilityValue(role);
    if (attribute == ax::kChildren)
        return AccessibilityValue(childrenOf(iface));
    if (attribute == ax::kEnabled)
        return AccessibilityValue(!iface->state().disabled);
    if (attribute == ax::kTitle) {
        if (!isItem)
            return ax::Error::kNoValue;
        return AccessibilityValue(
            iface->role() == QAccessible::Separator ? QString() : iface->text(QAccessible::Name));
    }
    if (attribute == ax::kMenuItemMarkChar) {
        const QAccessible::State state = iface->state();
        if (role != ax::kMenuItemRole || !state.checkable || !state.checked)
            return ax::Error::kNoValue;
        return AccessibilityValue(QStringLiteral("\u2713"));
    }
    if (attribute == ax::kMenuItemCmdChar || attribute == ax::kMenuItemCmdModifiers ||
        attribute == ax::kMenuItemCmdGlyph) {
        // A menu title's mnemonic is no key equivalent.
        return role == ax::kMenuItemRole ? keyAttribute(iface, attribute)
                                         : Answer(ax::Error::kNoValue);
    }
    return ax::Error::kAttributeUnsupported;
}

} // namespace

AccessibilityElementRef QtAccessibility::createApplication(qint64 processId) {
    return std::make_shared<QtElement>(processId, QAccessible::Id(0));
}

AccessibilityResult<AccessibilityValue>
QtAccessibility::copyAttributeValue(const AccessibilityElementRef& element,
                                    const QString& attribute) {
    const auto* qtElement = dynamic_cast<const QtElement*>(element.get());
    if (!qtElement)
        return ax::Error::kIllegalArgument;
    if (qtElement->processId != QCoreApplication::applicationPid() || !canReadMenus())
        return ax::Error::kCannotComplete;
    if (qtElement->id == 0)
        return applicationAttribute(attribute);
    QAccessibleInterface* iface = QAccessible::accessibleInterface(qtElement->id);
    if (!iface || !iface->isValid())
        return ax::Error::kInvalidUIElement;
    return interfaceAttribute(iface, attribute);
}

bool QtAccessibility::canReadMenus() const {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace qrv
