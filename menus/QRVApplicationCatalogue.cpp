#include "menus/QRVApplicationCatalogue.h"

#include "model/LocalizedStandardCompare.h"
#include "platform/AppInfo.h"
#include "platform/Images.h"
#include "platform/Platform.h"
#include "platform/PreferenceStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace qrv {

namespace {

const QString kRegisteredApplicationsKey = QStringLiteral("com.apple.custommenu.apps");
const QString kUniversalAccessDomain = QStringLiteral("com.apple.universalaccess");

QString tr(const char* text) {
    return QCoreApplication::translate("QRVShortcutsViewController", text);
}

QString thisBundleIdentifier() {
    return QString::fromLatin1(appinfo::kBundleIdentifier);
}

QString stringValue(const QVariantMap& dictionary, const QString& key) {
    const QVariant value = dictionary.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QRVAplicationPtr newEntry(const QString& bundleIdentifier, const QString& name) {
    return std::make_shared<QRVAplication>(bundleIdentifier, name);
}

QStringList registeredApplications() {
    PreferenceStore* preferences = platform().preferences;
    if (!preferences)
        return {};
    QStringList identifiers;
    const QVariant list =
        preferences->copyValue(kRegisteredApplicationsKey, kUniversalAccessDomain);
    for (const QVariant& identifier : list.toList())
        if (identifier.typeId() == QMetaType::QString)
            identifiers << identifier.toString();
    return identifiers;
}

// Menus of applications other than this one get two adjustments: the first
// menu (the system menu, the same everywhere) keeps only its plain commands,
// shortened before the first comma, and the application menu loses Services.
void adjustForeignMenus(const QRVMenuItemList& menus) {
    if (menus.isEmpty())
        return;
    QRVMenuItemList submenus;
    for (const QRVMenuItemPtr& item : menus.first()->children()) {
        if (!item->children().isEmpty()) {
            submenus << item;
            continue;
        }
        if (const qsizetype comma = item->title().indexOf(u','); comma >= 0)
            item->setTitle(item->title().left(comma));
    }
    menus.first()->removeChildren(submenus);
    if (menus.size() < 2)
        return;
    QRVMenuItemList services;
    for (const QRVMenuItemPtr& item : menus.at(1)->children())
        if (!item->children().isEmpty() && item->title() == tr("Services"))
            services << item;
    menus.at(1)->removeChildren(services);
}

} // namespace

QRVAplicationPtr QRVApplicationCatalogue::makeAllApplicationsApplication() {
    auto entry = newEntry(QString(), tr("All Applications"));
    entry->setIcon(imageNamed(QStringLiteral("GenericAppIcon")));
    return entry;
}

QRVAplicationPtr QRVApplicationCatalogue::makeSeparatorApplication() {
    return newEntry(QString(), QString());
}

void QRVApplicationCatalogue::sortByTitle(QRVMenuItemList& items) {
    sortByLocalizedStandard(items, [](const QRVMenuItemPtr& item) { return item->title(); });
}

void QRVApplicationCatalogue::sortByName(QRVAplicationList& applications) {
    sortByLocalizedStandard(applications,
                            [](const QRVAplicationPtr& entry) { return entry->localizedName(); });
}

QRVAplicationList QRVApplicationCatalogue::rebuiltApplications(
    const QRVAplicationList& current, const QRVAplicationPtr& selected,
    const QRVAplicationPtr& allApplications, const QRVAplicationPtr& separator) {
    QRVAplicationList list;
    QHash<QString, QRVAplicationPtr> byIdentifier;
    for (const QRVAplicationPtr& entry : current) {
        if (!entry || entry->bundleIdentifier().isEmpty() || entry->localizedName().isNull() ||
            byIdentifier.contains(entry->bundleIdentifier()))
            continue;
        list << entry;
        byIdentifier.insert(entry->bundleIdentifier(), entry);
    }

    if (Workspace* workspace = platform().workspace) {
        for (const RunningApplication& running : workspace->runningApplications()) {
            if (running.activationPolicy != RunningApplication::ActivationPolicy::Regular ||
                running.bundleIdentifier.isEmpty() || running.localizedName.isNull())
                continue;
            QRVAplicationPtr entry = byIdentifier.value(running.bundleIdentifier);
            if (entry) {
                entry->setLocalizedName(running.localizedName);
            } else {
                entry = newEntry(running.bundleIdentifier, running.localizedName);
                list << entry;
                byIdentifier.insert(running.bundleIdentifier, entry);
            }
            if (entry->icon().cacheKey() != running.icon.cacheKey())
                entry->setIcon(running.icon);
        }
        for (const QString& identifier : registeredApplications()) {
            if (byIdentifier.contains(identifier))
                continue;
            const QUrl url = workspace->urlForApplication(identifier);
            const auto bundle =
                url.isLocalFile() ? workspace->bundleAtPath(url.toLocalFile()) : std::nullopt;
            const QString name = bundle ? localizedNameForApplicationBundle(*bundle) : QString();
            if (name.isEmpty())
                continue;
            QRVAplicationPtr entry = newEntry(identifier, name);
            entry->setIcon(iconForApplicationBundle(*bundle));
            list << entry;
            byIdentifier.insert(identifier, entry);
        }
    }

    if (selected && selected != allApplications &&
        std::none_of(list.begin(), list.end(),
                     [&](const QRVAplicationPtr& e) { return *e == *selected; }))
        list << selected;

    sortByName(list);
    list.prepend(separator);
    list.prepend(allApplications);
    return list;
}

QString
QRVApplicationCatalogue::localizedNameForApplicationBundle(const ApplicationBundle& bundle) {
    for (const QVariantMap* dictionary : {&bundle.localizedInfoDictionary, &bundle.infoDictionary})
        for (const char* key : {"CFBundleDisplayName", "CFBundleName"})
            if (const QString name = stringValue(*dictionary, QLatin1String(key)); !name.isEmpty())
                return name;
    Workspace* workspace = platform().workspace;
    QString name =
        workspace ? workspace->displayNameAtPath(bundle.path) : QFileInfo(bundle.path).fileName();
    const QString extension = QFileInfo(bundle.path).suffix();
    if (!extension.isEmpty() && name.endsWith(QLatin1Char('.') + extension))
        name.chop(extension.size() + 1);
    return name;
}

QIcon QRVApplicationCatalogue::iconForApplicationBundle(const ApplicationBundle& bundle) {
    Workspace* workspace = platform().workspace;
    return workspace ? workspace->iconForFile(bundle.path) : QIcon();
}

QRVAplicationPtr QRVApplicationCatalogue::applicationForBundle(const ApplicationBundle& bundle) {
    if (bundle.bundleIdentifier.isEmpty())
        return nullptr;
    QString name =
        stringValue(bundle.localizedInfoDictionary, QStringLiteral("CFBundleDisplayName"));
    if (name.isEmpty())
        name = stringValue(bundle.infoDictionary, QStringLiteral("CFBundleDisplayName"));
    if (name.isEmpty()) {
        Workspace* workspace = platform().workspace;
        name = workspace ? workspace->displayNameAtPath(bundle.path)
                         : QFileInfo(bundle.path).fileName();
    }
    QRVAplicationPtr entry = newEntry(bundle.bundleIdentifier, name);
    entry->setIcon(iconForApplicationBundle(bundle));
    return entry;
}

std::optional<QRVMenuItemList>
QRVApplicationCatalogue::menuItemsForApplication(const QRVAplication& application) {
    Accessibility* ax = platform().accessibility;
    Workspace* workspace = platform().workspace;
    if (!ax)
        return std::nullopt;
    const bool allApplications = application.isAllApplications();
    qint64 processId = QCoreApplication::applicationPid();
    if (!allApplications) {
        const auto running =
            workspace
                ? workspace->runningApplicationsWithBundleIdentifier(application.bundleIdentifier())
                : QList<RunningApplication>();
        if (running.isEmpty())
            return std::nullopt;
        processId = running.first().processId;
    }

    AccessibilityElementRef menuBar;
    {
        const AccessibilityElementRef app = ax->createApplication(processId);
        const auto value = ax->copyAttributeValue(app, ax::kMenuBar);
        menuBar = value.ok() ? value.value().element() : nullptr;
    } // the application element is released here
    if (!menuBar)
        return std::nullopt;
    const auto count = ax->attributeValueCount(menuBar, ax::kChildren);
    if (!count.ok())
        return std::nullopt;
    const auto elements = ax->copyAttributeValues(menuBar, ax::kChildren, 0, count.value());
    if (!elements.ok())
        return std::nullopt;

    QRVMenuItemList items;
    for (const AccessibilityElementRef& element : elements.value()) {
        items << QRVMenuItem::initWithElement(element, !items.isEmpty());
        if (allApplications)
            break; // the first menu alone: the one every application shares
    }
    return topLevelMenuItemsForMenuBar(std::move(items), application);
}

QRVMenuItemList
QRVApplicationCatalogue::topLevelMenuItemsForMenuBar(QRVMenuItemList menuBar,
                                                     const QRVAplication& application) {
    if (application.isAllApplications()) {
        if (menuBar.size() > 1)
            menuBar.resize(1);
    } else if (application.bundleIdentifier() != thisBundleIdentifier()) {
        adjustForeignMenus(menuBar);
    }
    sortByTitle(menuBar);
    return menuBar;
}

std::optional<QRVMenuItemList> QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(
    const std::optional<QRVMenuItemList>& items) {
    if (!items)
        return std::nullopt;
    QRVMenuItemList all;
    QRVMenuItemList queue = *items;
    for (qsizetype next = 0; next < queue.size(); ++next) {
        const QRVMenuItemList& children = queue.at(next)->children();
        all << children;
        queue << children;
    }
    sortByTitle(all);
    return all;
}

std::pair<QRVMenuItemList, QRVMenuItemList>
QRVApplicationCatalogue::splitNodesAndLeaves(const QRVMenuItemList& items) {
    std::pair<QRVMenuItemList, QRVMenuItemList> split;
    for (const QRVMenuItemPtr& item : items)
        (item->children().isEmpty() ? split.second : split.first) << item;
    return split;
}

} // namespace qrv
