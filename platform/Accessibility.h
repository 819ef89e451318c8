#pragma once

#include <QString>
#include <QVariant>

#include <memory>

namespace qrv {

// Reading the menus of a running application, element by element, the way
// the platform's accessibility API exposes them: an element has attributes
// ("AXRole", "AXTitle", "AXChildren", ...) whose values are strings, numbers
// or arrays of elements, and every read can fail.
// (Implemented by the menus work; refine there.)
class AccessibilityElement;
using AccessibilityElementRef = std::shared_ptr<AccessibilityElement>;

class AccessibilityElement {
  public:
    virtual ~AccessibilityElement() = default;
};

class Accessibility {
  public:
    virtual ~Accessibility() = default;
    virtual AccessibilityElementRef applicationElement(qint64 processId) = 0;
};

} // namespace qrv
