#include "platform/Accessibility.h"

namespace qrv {

std::optional<QString> AccessibilityValue::string() const {
    if (const auto* value = std::get_if<QString>(&m_value))
        return *value;
    return std::nullopt;
}

std::optional<double> AccessibilityValue::number() const {
    if (const auto* value = std::get_if<double>(&m_value))
        return *value;
    return std::nullopt;
}

std::optional<bool> AccessibilityValue::boolean() const {
    if (const auto* value = std::get_if<bool>(&m_value))
        return *value;
    return std::nullopt;
}

AccessibilityElementRef AccessibilityValue::element() const {
    if (const auto* value = std::get_if<AccessibilityElementRef>(&m_value))
        return *value;
    return nullptr;
}

std::optional<AccessibilityElementList> AccessibilityValue::array() const {
    if (const auto* value = std::get_if<AccessibilityElementList>(&m_value))
        return *value;
    return std::nullopt;
}

// Backends whose platform has no cheaper way answer counts and slices from
// one read of the whole array.
AccessibilityResult<qint64>
Accessibility::attributeValueCount(const AccessibilityElementRef& element,
                                   const QString& attribute) {
    auto value = copyAttributeValue(element, attribute);
    if (!value.ok())
        return value.error();
    const auto array = value.value().array();
    if (!array)
        return ax::Error::kIllegalArgument;
    return qint64(array->size());
}

AccessibilityResult<AccessibilityElementList>
Accessibility::copyAttributeValues(const AccessibilityElementRef& element, const QString& attribute,
                                   qint64 index, qint64 maxValues) {
    if (index < 0 || maxValues < 0)
        return ax::Error::kIllegalArgument;
    auto value = copyAttributeValue(element, attribute);
    if (!value.ok())
        return value.error();
    const auto array = value.value().array();
    if (!array || index > array->size())
        return ax::Error::kIllegalArgument;
    return array->mid(index, maxValues);
}

} // namespace qrv
