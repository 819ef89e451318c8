#include "menus/QRVMenuItem.h"

#include "menus/MenusLogging.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <cmath>

namespace qrv {

namespace {

// The accessibility interface's menu glyph numbers and the key texts they
// stand for (as the key-equivalent notation writes them).
const QHash<int, QChar>& glyphTable() {
    static const QHash<int, QChar> table = [] {
        QHash<int, QChar> t{
            {2, QChar(0x21E5)},   {3, QChar(0x21E4)},   {9, QChar(0x0014)},   {11, QChar(0x2305)},
            {16, QChar(0x2193)},  {23, QChar(0x232B)},  {24, QChar(0x2192)},  {25, QChar(0x2191)},
            {26, QChar(0x2192)},  {27, QChar(0x238B)},  {98, QChar(0x21DE)},  {100, QChar(0x2190)},
            {101, QChar(0x2192)}, {102, QChar(0x2198)}, {103, QChar(0x2193)}, {104, QChar(0x2191)},
            {105, QChar(0x2198)}, {106, QChar(0x2193)}, {107, QChar(0x21DF)},
        };
        for (int glyph = 111; glyph <= 130; ++glyph)
            t.insert(glyph, QChar(0xF704 + (glyph - 111))); // F1 to F20
        return t;
    }();
    return table;
}

// Menus whose items all need their path: "Sort By" and the like...
const QStringList& fullTitleSuffixes() {
    static const QStringList list{QCoreApplication::translate("QRVMenuItem", " By"),
                                  QCoreApplication::translate("QRVMenuItem", " As")};
    return list;
}

// ...and single items that only make sense with their menu ("By Name").
const QStringList& fullTitlePrefixes() {
    static const QStringList list{QCoreApplication::translate("QRVMenuItem", "By "),
                                  QCoreApplication::translate("QRVMenuItem", "As ")};
    return list;
}

const QString kCheckmark = QStringLiteral("\u2713");

// Completion reads the derived titles on the main thread while validation
// reads them on the background queue; filling the caches takes this lock.
QMutex& cacheLock() {
    static QMutex lock;
    return lock;
}

} // namespace

QRVMenuItem::~QRVMenuItem() = default;

QRVMenuItemPtr QRVMenuItem::initWithElement(Accessibility& accessibility,
                                            AccessibilityElementRef element, bool loadChildren) {
    auto item = std::make_shared<QRVMenuItem>();
    if (!element)
        return item;
    item->m_element = std::move(element);
    item->_loadAttributes(accessibility, item->m_element);
    item->_loadChildren(accessibility, item->m_element, loadChildren);
    return item;
}

// ---- reading attributes

namespace {
std::optional<AccessibilityValue> read(Accessibility& accessibility, const QString& attribute,
                                       const AccessibilityElementRef& element) {
    if (!element)
        return std::nullopt;
    auto answer = accessibility.copyAttributeValue(element, attribute);
    if (!answer.ok())
        return std::nullopt;
    return answer.value();
}
} // namespace

QString QRVMenuItem::titleForElement(Accessibility& accessibility,
                                     const AccessibilityElementRef& element) {
    return stringForAttribute(accessibility, ax::kTitle, element);
}

QString QRVMenuItem::stringForAttribute(Accessibility& accessibility, const QString& attribute,
                                        const AccessibilityElementRef& element) {
    const auto value = read(accessibility, attribute, element);
    return value ? value->string().value_or(QString()) : QString();
}

std::optional<double> QRVMenuItem::numberForAttribute(Accessibility& accessibility,
                                                      const QString& attribute,
                                                      const AccessibilityElementRef& element) {
    const auto value = read(accessibility, attribute, element);
    return value ? value->number() : std::nullopt;
}

std::optional<AccessibilityElementList>
QRVMenuItem::arrayForAttribute(Accessibility& accessibility, const QString& attribute,
                               const AccessibilityElementRef& element) {
    const auto value = read(accessibility, attribute, element);
    return value ? value->array() : std::nullopt;
}

QString QRVMenuItem::keyEquivalentFor(const QString& character, std::optional<double> modifierBits,
                                      std::optional<double> glyph) {
    if (character.isEmpty() && !glyph)
        return {};
    const double bits = modifierBits.value_or(0);
    const quint64 modifiers = bits > 0 && bits < 1e18 ? quint64(bits) : 0;
    QString text;
    if (!(modifiers & ax::kNoCommandModifier))
        text += QLatin1Char('@');
    if (modifiers & ax::kOptionModifier)
        text += QLatin1Char('~');
    if (modifiers & ax::kControlModifier)
        text += QLatin1Char('^');
    if (modifiers & ax::kShiftModifier)
        text += QLatin1Char('$');
    // An empty character says nothing about the key: the glyph does.
    if (!character.isEmpty())
        return text + character.toLower();
    const double number = *glyph;
    const auto found = std::trunc(number) == number && std::abs(number) < 1e9
                           ? glyphTable().constFind(int(number))
                           : glyphTable().constEnd();
    if (found == glyphTable().constEnd()) {
        qCWarning(lcMenus, "Glyph not found: %s", qPrintable(QString::number(number, 'g', 15)));
        return {};
    }
    return text + *found;
}

void QRVMenuItem::_loadAttributes(Accessibility& accessibility,
                                  const AccessibilityElementRef& element) {
    m_title = titleForElement(accessibility, element);
    m_hasCheckmark =
        stringForAttribute(accessibility, ax::kMenuItemMarkChar, element) == kCheckmark;
    const QString character = stringForAttribute(accessibility, ax::kMenuItemCmdChar, element);
    const auto modifiers = numberForAttribute(accessibility, ax::kMenuItemCmdModifiers, element);
    const auto glyph = numberForAttribute(accessibility, ax::kMenuItemCmdGlyph, element);
    m_keyEquivalent = keyEquivalentFor(character, modifiers, glyph);
}

void QRVMenuItem::_loadChildren(Accessibility& accessibility,
                                const AccessibilityElementRef& element, bool loadChildren) {
    const auto endsWith = [this](const QString& suffix) {
        return m_title.endsWith(suffix, Qt::CaseInsensitive);
    };
    bool fullTitles = !m_title.isEmpty() &&
                      std::any_of(fullTitleSuffixes().begin(), fullTitleSuffixes().end(), endsWith);

    AccessibilityElementList elements = arrayForAttribute(accessibility, ax::kChildren, element)
                                            .value_or(AccessibilityElementList{});
    // A menu title's or item's submenu is reached through its single menu element.
    // Every request goes to the target application: a lone child that is no
    // menu keeps the role already read for it.
    std::optional<QString> loneChildRole;
    if (elements.size() == 1) {
        loneChildRole = stringForAttribute(accessibility, ax::kRole, elements.first());
        if (*loneChildRole == ax::kMenuRole) {
            elements = arrayForAttribute(accessibility, ax::kChildren, elements.first())
                           .value_or(AccessibilityElementList{});
            loneChildRole.reset();
        }
    }

    const QRVMenuItemPtr self = shared_from_this();
    QRVMenuItemList children;
    for (const AccessibilityElementRef& childElement : std::as_const(elements)) {
        const QString role = loneChildRole
                                 ? *loneChildRole
                                 : stringForAttribute(accessibility, ax::kRole, childElement);
        if (role != ax::kMenuItemRole)
            continue;
        QRVMenuItemPtr child = initWithElement(accessibility, childElement, loadChildren);
        if (child->m_title.isEmpty())
            continue; // separators and untitled items
        child->setParent(self);
        const auto startsWith = [&child](const QString& prefix) {
            return child->m_title.startsWith(prefix, Qt::CaseInsensitive);
        };
        if (fullTitles) {
            child->m_prefersFullTitle = true;
        } else if (child->m_hasCheckmark) {
            // Where one item carries a check mark, every item of the menu is named by its path.
            child->m_prefersFullTitle = true;
            for (const QRVMenuItemPtr& earlier : std::as_const(children))
                earlier->m_prefersFullTitle = true;
            fullTitles = true;
        } else if (std::any_of(fullTitlePrefixes().begin(), fullTitlePrefixes().end(),
                               startsWith)) {
            child->m_prefersFullTitle = true;
        }
        children.append(std::move(child));
    }
    m_children = std::move(children);
}

// ---- derived titles

void QRVMenuItem::clearCaches() {
    QMutexLocker locker(&cacheLock());
    m_parentTitlesCache.reset();
    m_hierarchyTitlesCache.reset();
    m_fullDisplayTitleCache.reset();
}

void QRVMenuItem::notifyTitlesChanged(void (QRVMenuItemChanges::*primary)()) {
    if (!m_changes)
        return;
    emit(m_changes.get()->*primary)();
    emit m_changes->parentTitlesChanged();
    emit m_changes->hierarchyTitlesChanged();
    emit m_changes->fullDisplayTitleChanged();
}

void QRVMenuItem::setTitle(const QString& title) {
    {
        // Readers of the derived titles read the titles of the ancestors under
        // this lock.
        QMutexLocker locker(&cacheLock());
        m_title = title;
    }
    clearCaches();
    notifyTitlesChanged(&QRVMenuItemChanges::titleChanged);
}

void QRVMenuItem::setParent(const QRVMenuItemPtr& parent) {
    m_parent = parent;
    clearCaches();
    notifyTitlesChanged(&QRVMenuItemChanges::parentChanged);
}

std::optional<QStringList> QRVMenuItem::parentTitles() const {
    QMutexLocker locker(&cacheLock());
    if (!m_parentTitlesCache) {
        std::optional<QStringList> titles;
        for (QRVMenuItemPtr ancestor = parent(); ancestor; ancestor = ancestor->parent()) {
            if (!titles)
                titles.emplace();
            titles->prepend(ancestor->m_title.isNull() ? QString(QLatin1String(""))
                                                       : ancestor->m_title);
        }
        m_parentTitlesCache = std::move(titles);
    }
    return *m_parentTitlesCache;
}

QStringList QRVMenuItem::hierarchyTitles() const {
    {
        QMutexLocker locker(&cacheLock());
        if (m_hierarchyTitlesCache)
            return *m_hierarchyTitlesCache;
    }
    QStringList titles = parentTitles().value_or(QStringList());
    titles.append(m_title.isNull() ? QString(QLatin1String("")) : m_title);
    QMutexLocker locker(&cacheLock());
    m_hierarchyTitlesCache = titles;
    return titles;
}

QString QRVMenuItem::fullDisplayTitle() const {
    {
        QMutexLocker locker(&cacheLock());
        if (m_fullDisplayTitleCache)
            return *m_fullDisplayTitleCache;
    }
    const QString title = hierarchyTitles().join(kPathSeparator);
    QMutexLocker locker(&cacheLock());
    m_fullDisplayTitleCache = title;
    return title;
}

void QRVMenuItem::removeChildren(const QRVMenuItemList& children) {
    m_children.removeIf(
        [&children](const QRVMenuItemPtr& child) { return children.contains(child); });
}

QRVMenuItemChanges* QRVMenuItem::changes() {
    if (!m_changes)
        m_changes = std::make_unique<QRVMenuItemChanges>();
    return m_changes.get();
}

} // namespace qrv
