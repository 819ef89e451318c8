#include "platform/testing/RecordedAccessibility.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace qrv::testing {

namespace {
const QString kErrorKey = QStringLiteral("$error");
const QString kIdKey = QStringLiteral("$id");
} // namespace

struct RecordedAccessibility::Process {
    bool running = true;
};

struct RecordedAccessibility::Element final : AccessibilityElement {
    QString id;
    std::shared_ptr<Process> process;
    std::optional<ax::Error> failure; // every read fails
    std::map<QString, AccessibilityResult<AccessibilityValue>> attributes;
};

RecordedAccessibility::RecordedAccessibility() = default;
RecordedAccessibility::~RecordedAccessibility() = default;

std::shared_ptr<RecordedAccessibility::Element>
RecordedAccessibility::build(const QJsonObject& object, const std::shared_ptr<Process>& process) {
    auto element = std::make_shared<Element>();
    element->process = process;
    element->id = object.value(kIdKey).toString();
    if (object.contains(kErrorKey))
        element->failure = ax::Error(object.value(kErrorKey).toInt());
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key().startsWith(QLatin1Char('$')))
            continue;
        const QJsonValue value = it.value();
        std::optional<AccessibilityResult<AccessibilityValue>> stored;
        if (value.isString()) {
            stored.emplace(AccessibilityValue(value.toString()));
        } else if (value.isDouble()) {
            stored.emplace(AccessibilityValue(value.toDouble()));
        } else if (value.isBool()) {
            stored.emplace(AccessibilityValue(value.toBool()));
        } else if (value.isObject() && value.toObject().contains(kErrorKey) &&
                   value.toObject().size() == 1) {
            stored.emplace(ax::Error(value.toObject().value(kErrorKey).toInt()));
        } else if (value.isObject()) {
            stored.emplace(
                AccessibilityValue(AccessibilityElementRef(build(value.toObject(), process))));
        } else if (value.isArray()) {
            AccessibilityElementList list;
            for (const QJsonValue member : value.toArray())
                list.append(build(member.toObject(), process));
            stored.emplace(AccessibilityValue(list));
        } else {
            stored.emplace(ax::Error::kNoValue); // null
        }
        element->attributes.emplace(it.key(), *stored);
    }
    return element;
}

void RecordedAccessibility::addApplication(qint64 processId,
                                           const QJsonObject& applicationElement) {
    m_applications[processId] = build(applicationElement, std::make_shared<Process>());
}

Result<void> RecordedAccessibility::loadApplication(qint64 processId, const QString& jsonFile) {
    QFile file(jsonFile);
    if (!file.open(QIODevice::ReadOnly))
        return makeError(QStringLiteral("Cannot read %1: %2").arg(jsonFile, file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        return makeError(QStringLiteral("%1 is not a recorded application: %2")
                             .arg(jsonFile, error.errorString()));
    addApplication(processId, document.object());
    return success();
}

void RecordedAccessibility::quitApplication(qint64 processId) {
    if (auto it = m_applications.find(processId); it != m_applications.end()) {
        it->second->process->running = false;
        m_applications.erase(it);
    }
}

AccessibilityElementRef RecordedAccessibility::createApplication(qint64 processId) {
    if (auto it = m_applications.find(processId); it != m_applications.end())
        return it->second;
    auto absent = std::make_shared<Element>();
    absent->process = std::make_shared<Process>();
    absent->failure = ax::Error::kCannotComplete;
    return absent;
}

AccessibilityResult<AccessibilityValue>
RecordedAccessibility::copyAttributeValue(const AccessibilityElementRef& ref,
                                          const QString& attribute) {
    const auto* element = dynamic_cast<const Element*>(ref.get());
    if (!element)
        return ax::Error::kIllegalArgument;
    ++m_total;
    m_requests[element].append(attribute);
    if (!element->id.isEmpty())
        m_requestsById[element->id].append(attribute);
    if (!m_canRead)
        return ax::Error::kAPIDisabled;
    if (!element->process->running)
        return ax::Error::kInvalidUIElement;
    if (element->failure)
        return *element->failure;
    const auto it = element->attributes.find(attribute);
    if (it == element->attributes.end())
        return ax::Error::kAttributeUnsupported;
    return it->second;
}

QList<QStringList> RecordedAccessibility::requestsPerElement() const {
    return m_requests.values();
}

void RecordedAccessibility::resetRequests() {
    m_requests.clear();
    m_requestsById.clear();
    m_total = 0;
}

} // namespace qrv::testing
