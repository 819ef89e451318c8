#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace qrv {

// Reading the user-interface elements of a running application (its menus)
// the way the platform's accessibility API exposes them: an element has named
// attributes ("AXRole", "AXTitle", "AXChildren", ...) whose values are
// strings, numbers, booleans, elements or arrays of elements, and every read
// can fail with an error code.
//
// An element reference keeps the element alive like a retained platform
// reference: the element lives as long as any reference to it. A backend
// subclasses AccessibilityElement for its own element kind and rejects
// elements of other backends with kIllegalArgument.

namespace ax {
// Error codes, numerically the platform's.
enum class Error : int {
    kSuccess = 0,
    kFailure = -25200,
    kIllegalArgument = -25201,
    kInvalidUIElement = -25202,
    kCannotComplete = -25204,
    kAttributeUnsupported = -25205,
    kAPIDisabled = -25211,
    kNoValue = -25212,
};

inline const QString kRole = QStringLiteral("AXRole");
inline const QString kTitle = QStringLiteral("AXTitle");
inline const QString kChildren = QStringLiteral("AXChildren");
inline const QString kEnabled = QStringLiteral("AXEnabled");
inline const QString kMenuBar = QStringLiteral("AXMenuBar");
inline const QString kMenuItemMarkChar = QStringLiteral("AXMenuItemMarkChar");
inline const QString kMenuItemCmdChar = QStringLiteral("AXMenuItemCmdChar");
inline const QString kMenuItemCmdModifiers = QStringLiteral("AXMenuItemCmdModifiers");
inline const QString kMenuItemCmdGlyph = QStringLiteral("AXMenuItemCmdGlyph");

inline const QString kApplicationRole = QStringLiteral("AXApplication");
inline const QString kMenuBarRole = QStringLiteral("AXMenuBar");
inline const QString kMenuBarItemRole = QStringLiteral("AXMenuBarItem");
inline const QString kMenuRole = QStringLiteral("AXMenu");
inline const QString kMenuItemRole = QStringLiteral("AXMenuItem");
inline const QString kUnknownRole = QStringLiteral("AXUnknown");

// Bits of "AXMenuItemCmdModifiers". Command is implied unless kNoCommand is set.
inline constexpr int kShiftModifier = 1;
inline constexpr int kOptionModifier = 2;
inline constexpr int kControlModifier = 4;
inline constexpr int kNoCommandModifier = 8;
} // namespace ax

class AccessibilityElement {
  public:
    virtual ~AccessibilityElement() = default;
};
using AccessibilityElementRef = std::shared_ptr<AccessibilityElement>;
using AccessibilityElementList = QList<AccessibilityElementRef>;

// One attribute value, of one of the platform's value types. Numbers are
// doubles, as JSON and the platform's number objects both allow.
class AccessibilityValue {
  public:
    using Storage =
        std::variant<QString, double, bool, AccessibilityElementRef, AccessibilityElementList>;

    AccessibilityValue(QString value)
        : m_value(std::move(value)) {}
    AccessibilityValue(double value)
        : m_value(value) {}
    AccessibilityValue(bool value)
        : m_value(value) {}
    AccessibilityValue(AccessibilityElementRef value)
        : m_value(std::move(value)) {}
    AccessibilityValue(AccessibilityElementList value)
        : m_value(std::move(value)) {}
    AccessibilityValue(int) = delete;         // say which: a number (double) or a boolean
    AccessibilityValue(const char*) = delete; // say QStringLiteral, not a boolean by accident

    bool isString() const { return std::holds_alternative<QString>(m_value); }
    bool isNumber() const { return std::holds_alternative<double>(m_value); }
    bool isBool() const { return std::holds_alternative<bool>(m_value); }
    bool isElement() const { return std::holds_alternative<AccessibilityElementRef>(m_value); }
    bool isArray() const { return std::holds_alternative<AccessibilityElementList>(m_value); }

    // Each answers nothing when the value is of another type.
    std::optional<QString> string() const;
    std::optional<double> number() const;
    std::optional<bool> boolean() const;
    AccessibilityElementRef element() const;
    std::optional<AccessibilityElementList> array() const;

  private:
    Storage m_value;
};

// The answer of one request: a value, or the error code of a failed read.
template <typename T> class AccessibilityResult {
  public:
    AccessibilityResult(T value)
        : m_value(std::move(value)) {}
    AccessibilityResult(ax::Error error)
        : m_error(error) {
        if (error == ax::Error::kSuccess)
            m_error = ax::Error::kNoValue; // a success must carry a value
    }

    bool ok() const { return m_value.has_value(); }
    ax::Error error() const { return m_error; }
    const T& value() const { return *m_value; }

  private:
    std::optional<T> m_value;
    ax::Error m_error = ax::Error::kSuccess;
};

class Accessibility {
  public:
    virtual ~Accessibility() = default;

    // The element of a running application (AXUIElementCreateApplication).
    // Like the platform's, it always answers an element; reads of an
    // application that does not run fail.
    virtual AccessibilityElementRef createApplication(qint64 processId) = 0;

    // AXUIElementCopyAttributeValue.
    virtual AccessibilityResult<AccessibilityValue>
    copyAttributeValue(const AccessibilityElementRef& element, const QString& attribute) = 0;
    // AXUIElementGetAttributeValueCount: the size of an array attribute.
    virtual AccessibilityResult<qint64> attributeValueCount(const AccessibilityElementRef& element,
                                                            const QString& attribute);
    // AXUIElementCopyAttributeValues: up to maxValues elements from index on.
    virtual AccessibilityResult<AccessibilityElementList>
    copyAttributeValues(const AccessibilityElementRef& element, const QString& attribute,
                        qint64 index, qint64 maxValues);

    // Whether this program may read other applications' menus here at all
    // (the platform's trust check); the permission status reports it.
    virtual bool canReadMenus() const = 0;
};

} // namespace qrv
