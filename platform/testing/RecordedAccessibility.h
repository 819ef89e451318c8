#pragma once

#include "platform/Accessibility.h"
#include "platform/Result.h"

#include <QHash>
#include <QJsonObject>
#include <QStringList>
#include <map>

namespace qrv::testing {

// Menus of applications recorded as JSON, for tests and benchmarks.
//
// An element is a JSON object of attribute name -> value. A string, number or
// boolean is that value; an object is an element; an array is an array of
// elements (objects). An object {"$error": -25204} in place of a value makes
// that read fail with the code; a missing attribute fails with
// kAttributeUnsupported. Keys beginning with "$" are not attributes: "$id"
// names the element for the request counts, and "$error" on an element makes
// every read of it fail. The application element of a process is given whole,
// e.g. {"AXRole": "AXApplication", "AXMenuBar": {"AXChildren": [...]}}.
//
// Every request is counted on the element it was made on.
class RecordedAccessibility final : public Accessibility {
  public:
    RecordedAccessibility();
    ~RecordedAccessibility() override;

    void addApplication(qint64 processId, const QJsonObject& applicationElement);
    Result<void> loadApplication(qint64 processId, const QString& jsonFile);
    // The process quits: reads of its elements fail with kInvalidUIElement.
    void quitApplication(qint64 processId);
    void setCanReadMenus(bool can) { m_canRead = can; }

    // Accessibility
    AccessibilityElementRef createApplication(qint64 processId) override;
    AccessibilityResult<AccessibilityValue>
    copyAttributeValue(const AccessibilityElementRef& element, const QString& attribute) override;
    bool canReadMenus() const override { return m_canRead; }

    // The attributes requested of the element named "$id", in request order.
    QStringList requests(const QString& id) const { return m_requestsById.value(id); }
    // The attributes requested of each element that was asked anything.
    QList<QStringList> requestsPerElement() const;
    qint64 totalRequests() const { return m_total; }
    void resetRequests();

  private:
    struct Element;
    struct Process;
    std::shared_ptr<Element> build(const QJsonObject& object,
                                   const std::shared_ptr<Process>& process);

    std::map<qint64, std::shared_ptr<Element>> m_applications;
    QHash<const Element*, QStringList> m_requests;
    QHash<QString, QStringList> m_requestsById;
    qint64 m_total = 0;
    bool m_canRead = true;
};

} // namespace qrv::testing
