#pragma once

#include "platform/Accessibility.h"

namespace qrv {

// This program's own menus, read in process through Qt's accessibility
// interfaces (QAccessibleInterface) and presented with the platform's roles
// and attributes: the menu bar is "AXMenuBar", a menu title "AXMenuBarItem",
// a menu "AXMenu", an item "AXMenuItem" (a separator is an untitled one); a
// checked item's mark is "✓"; shortcuts become "AXMenuItemCmdChar",
// "AXMenuItemCmdModifiers" and "AXMenuItemCmdGlyph" (see MenuKeyMapping.h).
// Hidden actions are left out. Other processes cannot be read: their reads
// fail with kCannotComplete. Main thread only, and only in a GUI application
// whose window with the menu bar has been created.
class QtAccessibility final : public Accessibility {
  public:
    AccessibilityElementRef createApplication(qint64 processId) override;
    AccessibilityResult<AccessibilityValue>
    copyAttributeValue(const AccessibilityElementRef& element, const QString& attribute) override;
    bool canReadMenus() const override;
};

} // namespace qrv
