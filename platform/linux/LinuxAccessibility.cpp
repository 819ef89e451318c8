#include "platform/linux/LinuxAccessibility.h"

#include "platform/linux/AtspiAccessibility.h"

namespace qrv {

LinuxAccessibility::LinuxAccessibility(Accessibility& inProcess, AtspiAccessibility& bus,
                                       qint64 ownProcessId)
    : m_inProcess(inProcess)
    , m_bus(bus)
    , m_ownProcessId(ownProcessId) {}

Accessibility& LinuxAccessibility::backendOf(const AccessibilityElementRef& element) const {
    return AtspiAccessibility::isOwnElement(element) ? m_bus : m_inProcess;
}

AccessibilityElementRef LinuxAccessibility::createApplication(qint64 processId) {
    return processId == m_ownProcessId ? m_inProcess.createApplication(processId)
                                       : m_bus.createApplication(processId);
}

AccessibilityResult<AccessibilityValue>
LinuxAccessibility::copyAttributeValue(const AccessibilityElementRef& element,
                                       const QString& attribute) {
    return backendOf(element).copyAttributeValue(element, attribute);
}

AccessibilityResult<qint64>
LinuxAccessibility::attributeValueCount(const AccessibilityElementRef& element,
                                        const QString& attribute) {
    return backendOf(element).attributeValueCount(element, attribute);
}

AccessibilityResult<AccessibilityElementList>
LinuxAccessibility::copyAttributeValues(const AccessibilityElementRef& element,
                                        const QString& attribute, qint64 index, qint64 maxValues) {
    return backendOf(element).copyAttributeValues(element, attribute, index, maxValues);
}

bool LinuxAccessibility::canReadMenus() const {
    return m_bus.canReadMenus() || m_inProcess.canReadMenus();
}

} // namespace qrv
