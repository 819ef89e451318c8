#pragma once

#include "platform/Accessibility.h"
#include "platform/linux/AtspiBus.h"

#include <QDBusConnection>
#include <memory>

namespace qrv {

// Other applications' menus over the accessibility bus (AT-SPI), presented
// with the platform's roles and attributes:
//
// | AT-SPI                                        | here                          |
// |-----------------------------------------------|-------------------------------|
// | menu bar                                      | "AXMenuBar"                   |
// | a child of the menu bar                       | "AXMenuBarItem"               |
// | popup menu                                    | "AXMenu"                      |
// | menu item, check/radio item, menu, separator  | "AXMenuItem" (separators untitled) |
// | Name                                          | "AXTitle"                     |
// | state checked                                 | "AXMenuItemMarkChar" "✓"      |
// | state enabled                                 | "AXEnabled"                   |
// | Action.GetKeyBinding (see AtspiKeyBinding.h)  | "AXMenuItemCmdChar", "...Modifiers",
// "...Glyph": Control is Command, Alt Option, Super/Meta Control |
//
// The application element of a process is the registered application with
// that process id; its "AXMenuBar" is the first menu bar below its active
// window, else below its other windows. Reading "AXChildren" of an element
// fetches what the menu reader asks next of every child (role, name, state,
// key binding, children) in batches, and goes on into the submenus: each
// element costs five requests and a batch of sixteen elements one round
// trip. The values are those of that moment; an element read later is not
// refreshed.
//
// Failures use the platform's codes: an application that does not run or
// quit cannot complete (kCannotComplete), an object that is gone is invalid
// (kInvalidUIElement), and while accessibility is off every read answers
// kAPIDisabled. Main thread only; never ask for this process's own
// elements (its main thread answers them: see LinuxAccessibility).
class AtspiAccessibility final : public Accessibility {
  public:
    // The bus may be unconnected: then nothing can be read.
    explicit AtspiAccessibility(atspi::Bus& bus);
    ~AtspiAccessibility() override;

    AccessibilityElementRef createApplication(qint64 processId) override;
    AccessibilityResult<AccessibilityValue>
    copyAttributeValue(const AccessibilityElementRef& element, const QString& attribute) override;
    // Whether the accessibility bus is reachable and accessibility is enabled.
    bool canReadMenus() const override;

    static bool isOwnElement(const AccessibilityElementRef& element);

    // Requests sent so far, and the batches they went in (round trips).
    qint64 requestCount() const { return m_requests; }
    qint64 batchCount() const { return m_batches; }

  private:
    struct Element;
    // Elements: just these; Menus: and the submenus below them, all the way.
    enum class Depth { Elements, Menus };
    void fetch(const QList<Element*>& elements, Depth depth);
    void fetchWave(const QList<Element*>& pending);
    AccessibilityResult<AccessibilityValue> applicationAttribute(Element& application,
                                                                 const QString& attribute);
    AccessibilityResult<AccessibilityValue> objectAttribute(Element& element,
                                                            const QString& attribute);
    AccessibilityElementList childrenOf(Element& element);
    ax::Error resolve(Element& application);
    AccessibilityElementRef findMenuBar(Element& application);
    void runBatch(atspi::Batch& batch);

    atspi::Bus& m_bus;
    qint64 m_requests = 0;
    qint64 m_batches = 0;
};

// The AT-SPI role number's platform role; menuBarChild for the children of a
// menu bar (titles of menus, whatever role the toolkit gives them).
QString platformRoleOf(quint32 atspiRole, bool menuBarChild);

} // namespace qrv
