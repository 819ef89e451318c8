#include "platform/linux/AtspiAccessibility.h"

#include "platform/linux/AtspiKeyBinding.h"
#include "platform/qt/MenuKeyMapping.h"

namespace qrv {

namespace {

using Answer = AccessibilityResult<AccessibilityValue>;

// AtspiRole numbers.
constexpr quint32 kRoleCheckMenuItem = 8;
constexpr quint32 kRoleMenu = 33;
constexpr quint32 kRoleMenuBar = 34;
constexpr quint32 kRoleMenuItem = 35;
constexpr quint32 kRoleRadioMenuItem = 45;
constexpr quint32 kRolePopupMenu = 41;
constexpr quint32 kRoleSeparator = 50;
constexpr quint32 kRoleTearoffMenuItem = 59;
// AtspiStateType numbers.
constexpr int kStateActive = 1;
constexpr int kStateChecked = 4;
constexpr int kStateEnabled = 8;

// Elements per batch (five requests each). The bus daemon looks up each
// reply among all of a connection's outstanding calls, so a few hundred
// calls in flight at once are slower than many small batches; measured with
// the benchmark, 16 elements read a 2,000-item tree fastest.
constexpr qsizetype kElementsPerBatch = 16;

// Deep enough for toolkits that wrap the menu bar in panels and fillers
// (GTK), not so deep that a large window's whole widget tree is walked.
constexpr int kMenuBarSearchDepth = 4;

bool hasState(const QList<quint32>& states, int state) {
    const qsizetype word = state / 32;
    return word < states.size() && (states.at(word) & (1u << (state % 32))) != 0;
}

} // namespace

QString platformRoleOf(quint32 atspiRole, bool menuBarChild) {
    if (menuBarChild)
        return ax::kMenuBarItemRole;
    switch (atspiRole) {
    case kRoleMenuBar:
        return ax::kMenuBarRole;
    case kRolePopupMenu:
        return ax::kMenuRole;
    case kRoleMenu: // GTK's item with a submenu: its children are the submenu's items
    case kRoleMenuItem:
    case kRoleCheckMenuItem:
    case kRoleRadioMenuItem:
    case kRoleTearoffMenuItem:
    case kRoleSeparator: // as the platform shows separators: items without a title
        return ax::kMenuItemRole;
    default:
        return ax::kUnknownRole;
    }
}

struct AtspiAccessibility::Element final : AccessibilityElement {
    bool isApplication = false;
    qint64 processId = 0;
    atspi::Reference reference;
    bool menuBarChild = false;

    // What one batch read of the element found.
    bool fetched = false;
    ax::Error error = ax::Error::kSuccess; // of the role request: the element as a whole
    quint32 role = 0;
    QString name;
    QList<quint32> states;
    std::optional<QKeyCombination> key;
    ax::Error childrenError = ax::Error::kSuccess;
    std::optional<AccessibilityElementList> children;

    bool isItem() const {
        const QString platformRole = platformRoleOf(role, menuBarChild);
        return platformRole == ax::kMenuItemRole || platformRole == ax::kMenuBarItemRole;
    }
};

AtspiAccessibility::AtspiAccessibility(atspi::Bus& bus)
    : m_bus(bus) {}

AtspiAccessibility::~AtspiAccessibility() = default;

bool AtspiAccessibility::canReadMenus() const {
    return m_bus.isEnabled();
}

bool AtspiAccessibility::isOwnElement(const AccessibilityElementRef& element) {
    return dynamic_cast<const Element*>(element.get()) != nullptr;
}

AccessibilityElementRef AtspiAccessibility::createApplication(qint64 processId) {
    auto application = std::make_shared<Element>();
    application->isApplication = true;
    application->processId = processId;
    return application;
}

void AtspiAccessibility::runBatch(atspi::Batch& batch) {
    m_requests += batch.size();
    ++m_batches;
    batch.run();
}

// Everything the menu reader asks of an element, in batches, and then the
// same for the children of the menus among them, wave after wave, so the
// reader then finds the whole tree read.
void AtspiAccessibility::fetch(const QList<Element*>& elements, Depth depth) {
    QList<Element*> pending;
    for (Element* element : elements)
        if (!element->fetched)
            pending << element;
    while (!pending.isEmpty()) {
        for (qsizetype at = 0; at < pending.size(); at += kElementsPerBatch)
            fetchWave(pending.mid(at, kElementsPerBatch));
        if (depth == Depth::Elements)
            break;
        QList<Element*> next;
        for (Element* element : std::as_const(pending)) {
            if (element->error != ax::Error::kSuccess || !element->children ||
                platformRoleOf(element->role, element->menuBarChild) == ax::kUnknownRole)
                continue;
            for (const AccessibilityElementRef& child : std::as_const(*element->children))
                if (auto* own = static_cast<Element*>(child.get()); !own->fetched)
                    next << own;
        }
        pending = std::move(next);
    }
}

void AtspiAccessibility::fetchWave(const QList<Element*>& pending) {
    if (!m_bus.isConnected()) {
        for (Element* element : pending) {
            element->fetched = true;
            element->error = ax::Error::kCannotComplete;
        }
        return;
    }
    atspi::Batch batch(m_bus.connection());
    constexpr qsizetype kPerElement = 5;
    for (Element* element : std::as_const(pending)) {
        const atspi::Reference& target = element->reference;
        batch.call(target, atspi::kAccessibleInterface, QStringLiteral("GetRole"));
        batch.property(target, atspi::kAccessibleInterface, QStringLiteral("Name"));
        batch.call(target, atspi::kAccessibleInterface, QStringLiteral("GetState"));
        batch.call(target, atspi::kActionInterface, QStringLiteral("GetKeyBinding"), {0});
        batch.call(target, atspi::kAccessibleInterface, QStringLiteral("GetChildren"));
    }
    runBatch(batch);
    for (qsizetype i = 0; i < pending.size(); ++i) {
        Element& element = *pending.at(i);
        const qsizetype at = i * kPerElement;
        element.fetched = true;
        element.error = ax::Error::kSuccess;
        const auto role = atspi::unsignedOf(batch.reply(at));
        if (!role) {
            element.error = atspi::errorOf(batch.reply(at));
            if (element.error == ax::Error::kSuccess)
                element.error = ax::Error::kFailure; // an answer of the wrong type
            continue;
        }
        element.role = *role;
        element.name = atspi::stringOf(batch.reply(at + 1)).value_or(QString());
        element.states = atspi::unsignedListOf(batch.reply(at + 2)).value_or(QList<quint32>{});
        if (const auto binding = atspi::stringOf(batch.reply(at + 3)))
            element.key = atspi::parseKeyBinding(*binding);
        const auto references = atspi::referencesOf(batch.reply(at + 4));
        if (!references) {
            element.childrenError = atspi::errorOf(batch.reply(at + 4));
            if (element.childrenError == ax::Error::kSuccess)
                element.childrenError = ax::Error::kFailure;
            continue;
        }
        AccessibilityElementList children;
        for (const atspi::Reference& reference : *references) {
            auto child = std::make_shared<Element>();
            child->processId = element.processId;
            child->reference = reference;
            child->menuBarChild = element.role == kRoleMenuBar;
            children << child;
        }
        element.children = std::move(children);
    }
}

AccessibilityElementList AtspiAccessibility::childrenOf(Element& element) {
    const AccessibilityElementList children = element.children.value_or(AccessibilityElementList{});
    QList<Element*> elements;
    for (const AccessibilityElementRef& child : children)
        elements << static_cast<Element*>(child.get());
    fetch(elements, Depth::Menus);
    return children;
}

ax::Error AtspiAccessibility::resolve(Element& application) {
    if (application.fetched)
        return application.error;
    application.fetched = true;
    application.error = ax::Error::kCannotComplete;
    if (!m_bus.isConnected())
        return application.error;
    if (!m_bus.isEnabled())
        return application.error = ax::Error::kAPIDisabled;
    const atspi::ReferenceList applications = m_bus.applications();
    QStringList services;
    for (const atspi::Reference& candidate : applications)
        services << candidate.service;
    m_requests += services.size() + 1;
    m_batches += 2;
    const QList<qint64> processIds = m_bus.processIdsOf(services);
    for (qsizetype i = 0; i < applications.size(); ++i) {
        if (processIds.at(i) != application.processId)
            continue;
        application.reference = applications.at(i);
        application.fetched = false; // now read the application object itself
        fetch({&application}, Depth::Elements);
        return application.error;
    }
    return application.error;
}

// Breadth-first below each window, the active one first.
AccessibilityElementRef AtspiAccessibility::findMenuBar(Element& application) {
    AccessibilityElementList windows = childrenOf(application);
    std::stable_partition(windows.begin(), windows.end(), [](const AccessibilityElementRef& w) {
        return hasState(static_cast<Element*>(w.get())->states, kStateActive);
    });
    for (const AccessibilityElementRef& window : std::as_const(windows)) {
        AccessibilityElementList level{window};
        for (int depth = 0; depth < kMenuBarSearchDepth && !level.isEmpty(); ++depth) {
            AccessibilityElementList next;
            for (const AccessibilityElementRef& candidate : std::as_const(level)) {
                auto* element = static_cast<Element*>(candidate.get());
                if (element->error == ax::Error::kSuccess && element->role == kRoleMenuBar)
                    return candidate;
            }
            for (const AccessibilityElementRef& candidate : std::as_const(level))
                next << static_cast<Element*>(candidate.get())
                            ->children.value_or(AccessibilityElementList{});
            QList<Element*> toFetch;
            for (const AccessibilityElementRef& candidate : std::as_const(next))
                toFetch << static_cast<Element*>(candidate.get());
            fetch(toFetch, Depth::Elements); // only the menu bar found is read further
            level = std::move(next);
        }
    }
    return nullptr;
}

Answer AtspiAccessibility::applicationAttribute(Element& application, const QString& attribute) {
    if (const ax::Error error = resolve(application); error != ax::Error::kSuccess)
        return error;
    if (attribute == ax::kRole)
        return AccessibilityValue(ax::kApplicationRole);
    if (attribute == ax::kTitle)
        return AccessibilityValue(application.name);
    if (attribute == ax::kChildren)
        return AccessibilityValue(childrenOf(application));
    if (attribute == ax::kMenuBar) {
        AccessibilityElementRef menuBar = findMenuBar(application);
        return menuBar ? Answer(AccessibilityValue(std::move(menuBar)))
                       : Answer(ax::Error::kNoValue);
    }
    return ax::Error::kAttributeUnsupported;
}

Answer AtspiAccessibility::objectAttribute(Element& element, const QString& attribute) {
    fetch({&element}, Depth::Elements);
    if (element.error != ax::Error::kSuccess)
        return element.error;
    if (attribute == ax::kRole)
        return AccessibilityValue(platformRoleOf(element.role, element.menuBarChild));
    if (attribute == ax::kTitle)
        return AccessibilityValue(element.role == kRoleSeparator ? QString() : element.name);
    if (attribute == ax::kEnabled)
        return AccessibilityValue(hasState(element.states, kStateEnabled));
    if (attribute == ax::kChildren) {
        if (element.childrenError != ax::Error::kSuccess)
            return element.childrenError;
        return AccessibilityValue(childrenOf(element));
    }
    if (attribute == ax::kMenuItemMarkChar) {
        if (!element.isItem() || !hasState(element.states, kStateChecked))
            return ax::Error::kNoValue;
        return AccessibilityValue(QStringLiteral("\u2713"));
    }
    if (attribute == ax::kMenuItemCmdChar || attribute == ax::kMenuItemCmdModifiers ||
        attribute == ax::kMenuItemCmdGlyph) {
        // A menu title's mnemonic is no key equivalent.
        if (!element.isItem() || element.menuBarChild || !element.key)
            return ax::Error::kNoValue;
        return menuKeyAttributeValue(menuKeyAttributes(*element.key), attribute);
    }
    return ax::Error::kAttributeUnsupported;
}

Answer AtspiAccessibility::copyAttributeValue(const AccessibilityElementRef& element,
                                              const QString& attribute) {
    auto* own = dynamic_cast<Element*>(element.get());
    if (!own)
        return ax::Error::kIllegalArgument;
    return own->isApplication ? applicationAttribute(*own, attribute)
                              : objectAttribute(*own, attribute);
}

} // namespace qrv
