#pragma once

#include "platform/Accessibility.h"

namespace qrv {

class AtspiAccessibility;

// The accessibility service of this desktop: this program's own menus in
// process (its main thread could not answer a request over the bus while it
// waits for that very answer), every other application over the
// accessibility bus. Without the bus, only this program's menus can be read.
class LinuxAccessibility final : public Accessibility {
  public:
    LinuxAccessibility(Accessibility& inProcess, AtspiAccessibility& bus, qint64 ownProcessId);

    AccessibilityElementRef createApplication(qint64 processId) override;
    AccessibilityResult<AccessibilityValue>
    copyAttributeValue(const AccessibilityElementRef& element, const QString& attribute) override;
    AccessibilityResult<qint64> attributeValueCount(const AccessibilityElementRef& element,
                                                    const QString& attribute) override;
    AccessibilityResult<AccessibilityElementList>
    copyAttributeValues(const AccessibilityElementRef& element, const QString& attribute,
                        qint64 index, qint64 maxValues) override;
    bool canReadMenus() const override;

  private:
    Accessibility& backendOf(const AccessibilityElementRef& element) const;

    Accessibility& m_inProcess;
    AtspiAccessibility& m_bus;
    qint64 m_ownProcessId;
};

} // namespace qrv
