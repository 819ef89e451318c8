#include "editor/QRVShortcutsViewController.h"

#include "editor/BWToolTipManager.h"
#include "editor/QRVApplicationsArrayController.h"
#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewTableCellView.h"
#include "editor/QRVSourceListController.h"
#include "editor/QRVSourceListTableView.h"
#include "editor/QRVTitleValidator.h"
#include "menus/QRVApplicationCatalogue.h"
#include "platform/AlertPresenter.h"
#include "platform/MainThread.h"
#include "platform/PermissionStatus.h"
#include "platform/Scheduler.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMutex>
#include <QSplitter>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

namespace qrv {

using namespace std::chrono_literals;

namespace {
const QString kLoadMenusKey = QStringLiteral("_loadApplicationMenuItems");
constexpr Millis kLoadMenusDelay = 500ms;
constexpr Millis kLaunchRetryInterval = 2000ms;
constexpr int kLaunchRetries = 11;
} // namespace

// The selection and the menu lists, which the flattening task reads from the
// background queue: it keeps them alive and compares the selected entry by
// identity, the only guard against stale results.
struct QRVShortcutsViewController::MenuState {
    mutable QMutex mutex;
    QRVAplicationPtr selected;
    MenuLists lists;

    bool isSelected(const QRVAplicationPtr& entry) const {
        QMutexLocker locker(&mutex);
        return selected == entry;
    }
    bool hasTopLevel() const {
        QMutexLocker locker(&mutex);
        return lists.topLevel.has_value();
    }
};

QRVShortcutsViewController::QRVShortcutsViewController(QRVEditorServices services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_toolTips(new BWToolTipManager(m_services.scheduler, this))
    , m_shortcutsModel(new QRVShortcutsTableModel(this))
    , m_menus(std::make_shared<MenuState>())
    , m_titleValidator(std::make_unique<QRVTitleValidator>(m_services.scheduler)) {
    m_commands = new QRVShortcutsCommands(*this);
    connect(m_shortcutsModel, &QRVShortcutsTableModel::titleEditEnded, this,
            &QRVShortcutsViewController::controlTextDidEndEditing);
    connect(this, &QRVShortcutsViewController::menuItemsChanged, this,
            &QRVShortcutsViewController::indexMenusForCompletion);
    // Rows whose record changed show it again in their cells (value, warning).
    connect(m_shortcutsModel, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom) {
                if (!m_menuShortcutsTableView)
                    return;
                for (int row = top.row(); row <= bottom.row(); ++row) {
                    auto* cell = m_menuShortcutsTableView->cellAtRow(row);
                    const QRVMenuShortcutPtr shortcut = itemAtRow(row);
                    // The recorder that reports the change shows it already.
                    if (cell && shortcut && cell->shortcutView() == m_reportingRecorder)
                        cell->setWarningMessage(shortcut->warningMessage());
                    else if (cell)
                        prepareShortcutsViewTableCellView(cell, row);
                }
            });
}

QRVShortcutsViewController::~QRVShortcutsViewController() {
    m_services.scheduler.cancelPerforms(this, kLoadMenusKey);
    delete m_view;
}

// ---- view

QWidget* QRVShortcutsViewController::view() {
    if (!m_view)
        viewDidLoad();
    return m_view;
}

void QRVShortcutsViewController::viewDidLoad() {
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("QRVShortcutsView"));
    splitter->setChildrenCollapsible(false);
    m_view = splitter;

    auto* sourcePane = new QWidget(splitter);
    auto* layout = new QVBoxLayout(sourcePane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_applicationsArrayController = new QRVApplicationsArrayController(this);
    m_applicationsSourceListController = new QRVSourceListController(this);
    m_applicationsTableView = new QRVSourceListTableView(sourcePane);
    m_applicationsTableView->setObjectName(QStringLiteral("applicationsTableView"));
    m_applicationsTableView->setModel(m_applicationsArrayController);
    m_applicationsTableView->setSelectionModel(m_applicationsArrayController->selectionModel());
    m_applicationsTableView->setSourceListController(m_applicationsSourceListController);
    m_applicationsSourceListController->setApplicationsArrayController(
        m_applicationsArrayController);
    m_applicationsSourceListController->setApplicationsTableView(m_applicationsTableView);
    layout->addWidget(m_applicationsTableView, 1);

    auto* addButton = new QToolButton(sourcePane);
    addButton->setObjectName(QStringLiteral("addApplicationButton"));
    addButton->setText(QStringLiteral("+"));
    addButton->setToolTip(tr("Select an application"));
    addButton->setAccessibleName(tr("Add Application"));
    addButton->setAutoRaise(true);
    connect(addButton, &QToolButton::clicked, this,
            &QRVShortcutsViewController::selectOtherApplication);
    layout->addWidget(addButton, 0, Qt::AlignLeft);

    m_shortcutsPane = new QWidget(splitter);
    m_shortcutsPane->setObjectName(QStringLiteral("shortcutsPane"));
    loadShortcutsPane();
    splitter->addWidget(sourcePane);
    splitter->addWidget(m_shortcutsPane);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});

    loadStaticApplicationss();
    loadApplications();
    connect(m_applicationsArrayController, &QRVApplicationsArrayController::selectedObjectsChanged,
            this, [this] {
                const QRVAplicationList selected = m_applicationsArrayController->selectedObjects();
                setApplication(selected.isEmpty() ? nullptr : selected.first());
            });
    setApplication(m_allApplicationsApplication);

    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                [this, previous = qGuiApp->applicationState()](Qt::ApplicationState state) mutable {
                    if (state == Qt::ApplicationActive && previous != Qt::ApplicationActive)
                        applicationDidBecomeActiveNotification();
                    else if (previous == Qt::ApplicationActive && state != Qt::ApplicationActive)
                        applicationWillResignActiveNotification();
                    previous = state;
                });
    }
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &QRVShortcutsViewController::applicationWillTerminateNotification);
    // What can be pasted is looked at again when the clipboard changes and
    // whenever the window is activated (the window's update).
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                &QRVShortcutsViewController::windowDidUpdate);
    m_view->installEventFilter(this);
    connect(&m_services.workspace, &Workspace::didLaunchApplication, this,
            &QRVShortcutsViewController::workspaceDidLaunchApplicationNotification);
    connect(&m_services.workspace, &Workspace::didActivateApplication, this,
            &QRVShortcutsViewController::workspaceDidActivateApplicationNotification);
    emit viewLoaded();
}

// ---- entries and selection

void QRVShortcutsViewController::setApplications(const QRVAplicationList& applications) {
    QRV_ASSERT_MAIN_THREAD();
    m_applications = applications;
    if (m_applicationsArrayController)
        m_applicationsArrayController->setContent(applications);
    emit applicationsChanged();
}

QRVAplicationPtr QRVShortcutsViewController::application() const {
    QMutexLocker locker(&m_menus->mutex);
    return m_menus->selected;
}

void QRVShortcutsViewController::loadStaticApplicationss() {
    m_allApplicationsApplication = QRVApplicationCatalogue::makeAllApplicationsApplication();
    m_separatorApplication = QRVApplicationCatalogue::makeSeparatorApplication();
    setApplications({m_allApplicationsApplication, m_separatorApplication});
}

void QRVShortcutsViewController::loadApplications() {
    QRV_ASSERT_MAIN_THREAD();
    setApplications(QRVApplicationCatalogue::rebuiltApplications(
        m_services, m_applications, application(), m_allApplicationsApplication,
        m_separatorApplication));
}

void QRVShortcutsViewController::setApplication(QRVAplicationPtr entry) {
    QRV_ASSERT_MAIN_THREAD();
    if (!entry)
        entry = m_allApplicationsApplication;
    const QRVAplicationPtr previous = application();
    if (entry != previous) {
        // Pending edits are written for the application they belong to.
        if (previous && m_needsSaving)
            saveApplicationShortcuts();
        m_needsSaving = false;
        m_menuShortcuts.reset();
        menuShortcutsDidChange();
        {
            QMutexLocker locker(&m_menus->mutex);
            m_menus->selected = entry;
        }
        loadApplicationMenuItems();
        loadMenuShortcuts();
        emit applicationChanged();
    }
    if (m_applicationsArrayController &&
        m_applicationsArrayController->selectedObjects() != QRVAplicationList{entry})
        m_applicationsArrayController->setSelectedObjects({entry});
}

void QRVShortcutsViewController::selectApplicationWithPath(const QString& path) {
    QRV_ASSERT_MAIN_THREAD();
    const auto bundle = m_services.workspace.bundleAtPath(path);
    if (!bundle || bundle->bundleIdentifier.isEmpty()) {
        m_services.alerts.beep();
        return;
    }
    for (const QRVAplicationPtr& entry : std::as_const(m_applications)) {
        if (!entry->bundleIdentifier().isEmpty() &&
            entry->bundleIdentifier().compare(bundle->bundleIdentifier, Qt::CaseInsensitive) == 0) {
            setApplication(entry);
            return;
        }
    }
    const QRVAplicationPtr entry =
        QRVApplicationCatalogue::applicationForBundle(m_services.workspace, *bundle);
    setApplications(m_applications + QRVAplicationList{entry});
    loadApplications();
    setApplication(entry);
}

void QRVShortcutsViewController::selectOtherApplication() {
    QString start = QStringLiteral("/Applications");
    if (!QFileInfo(start).isDir()) {
        const QStringList entries =
            QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
        start = entries.isEmpty() ? QDir::homePath() : entries.last();
    }
    auto* panel = new QFileDialog(m_view ? m_view->window() : nullptr, tr("Select an application"),
                                  start, tr("Applications (*.app *.desktop)"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setOption(QFileDialog::DontUseNativeDialog); // so that an .app folder can be chosen
    panel->setOption(QFileDialog::ReadOnly);            // no folder creation
    panel->setLabelText(QFileDialog::Accept, tr("Select"));
    panel->setWindowModality(Qt::WindowModal);
    auto chosenBundle = std::make_shared<QString>();
    // An application bundle is a folder: opening it chooses it.
    connect(panel, &QFileDialog::directoryEntered, panel,
            [panel, chosenBundle](const QString& folder) {
                if (folder.endsWith(QLatin1String(".app"), Qt::CaseInsensitive)) {
                    *chosenBundle = folder;
                    static_cast<QDialog*>(panel)->done(QDialog::Accepted);
                }
            });
    connect(panel, &QFileDialog::finished, this, [this, panel, chosenBundle](int result) {
        if (result != QDialog::Accepted)
            return;
        const QStringList files = panel->selectedFiles();
        const QString path = !chosenBundle->isEmpty() ? *chosenBundle : files.value(0);
        if (!path.isEmpty())
            selectApplicationWithPath(path);
    });
    panel->open();
}

// ---- menus

std::optional<QRVMenuItemList> QRVShortcutsViewController::topLevelMenuItems() const {
    QMutexLocker locker(&m_menus->mutex);
    return m_menus->lists.topLevel;
}

std::optional<QRVMenuItemList> QRVShortcutsViewController::allMenuItems() const {
    QMutexLocker locker(&m_menus->mutex);
    return m_menus->lists.all;
}

std::optional<QRVMenuItemList> QRVShortcutsViewController::nodeMenuItems() const {
    QMutexLocker locker(&m_menus->mutex);
    return m_menus->lists.nodes;
}

std::optional<QRVMenuItemList> QRVShortcutsViewController::leafMenuItems() const {
    QMutexLocker locker(&m_menus->mutex);
    return m_menus->lists.leaves;
}

void QRVShortcutsViewController::setMenuLists(const MenuLists& lists) {
    {
        QMutexLocker locker(&m_menus->mutex);
        m_menus->lists = lists;
    }
    emit menuItemsChanged();
}

QRVShortcutsViewController::MenuLists
QRVShortcutsViewController::cachedMenuLists(const QRVAplication& application) {
    return {application.topLevelMenuItems(), application.allMenuItems(),
            application.nodeMenuItems(), application.leafMenuItems()};
}

void QRVShortcutsViewController::setCachedMenuLists(QRVAplication& application,
                                                    const MenuLists& lists) {
    application.setTopLevelMenuItems(lists.topLevel);
    application.setAllMenuItems(lists.all);
    application.setNodeMenuItems(lists.nodes);
    application.setLeafMenuItems(lists.leaves);
}

void QRVShortcutsViewController::loadApplicationMenuItems() {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr entry = application();
    setMenuLists(entry ? cachedMenuLists(*entry) : MenuLists{});
    const auto topLevel = topLevelMenuItems();
    if (topLevel && !topLevel->isEmpty())
        return;
    m_services.scheduler.performCoalesced(this, kLoadMenusKey, kLoadMenusDelay,
                                          [this] { _loadApplicationMenuItems(); });
}

// The accessibility reads run here, on the main thread; nothing when the
// menus are read already (an empty list counts as read) or may not be read.
std::optional<QRVShortcutsViewController::MenuRead>
QRVShortcutsViewController::readSelectedApplicationMenus() {
    QRV_ASSERT_MAIN_THREAD();
    if (topLevelMenuItems() || !m_services.permissions.isGranted(PermissionStatus::kAssistive))
        return std::nullopt;
    QRVAplicationPtr noted = application();
    if (!noted)
        return std::nullopt;
    auto topLevel = QRVApplicationCatalogue::menuItemsForApplication(m_services, *noted);
    return MenuRead{std::move(noted), std::move(topLevel)};
}

// Runs on any thread. The trees were built on the main thread and are not
// changed once handed over; nothing when the selection moved on meanwhile.
std::optional<QRVShortcutsViewController::MenuLists>
QRVShortcutsViewController::flattenMenus(const MenuState& state, const MenuRead& read,
                                         const std::function<void()>& observer) {
    if (!state.isSelected(read.noted) || state.hasTopLevel())
        return std::nullopt;
    MenuLists lists;
    lists.topLevel = read.topLevel;
    lists.all = QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(read.topLevel);
    if (observer)
        observer();
    if (!state.isSelected(read.noted))
        return std::nullopt;
    auto [nodes, leaves] =
        QRVApplicationCatalogue::splitNodesAndLeaves(lists.all.value_or(QRVMenuItemList{}));
    lists.nodes = std::move(nodes);
    lists.leaves = std::move(leaves);
    if (!state.isSelected(read.noted))
        return std::nullopt;
    return lists;
}

void QRVShortcutsViewController::_loadApplicationMenuItems() {
    auto read = readSelectedApplicationMenus();
    if (!read)
        return;
    QPointer<QRVShortcutsViewController> self(this);
    Scheduler& scheduler = m_services.scheduler;
    m_services.scheduler.asyncGlobal([self, state = m_menus, read = std::move(*read), &scheduler,
                                      observer = m_flatteningObserver] {
        auto lists = flattenMenus(*state, read, observer);
        if (!lists)
            return;
        scheduler.asyncMain([self, state, noted = read.noted, lists = std::move(*lists)] {
            if (self && state->isSelected(noted))
                self->publishMenuLists(noted, lists);
        });
    });
}

void QRVShortcutsViewController::loadApplicationMenuItemsNow() {
    const auto read = readSelectedApplicationMenus();
    if (!read)
        return;
    if (const auto lists = flattenMenus(*m_menus, *read, m_flatteningObserver))
        publishMenuLists(read->noted, *lists);
}

void QRVShortcutsViewController::publishMenuLists(const QRVAplicationPtr& noted,
                                                  const MenuLists& lists) {
    QRV_ASSERT_MAIN_THREAD();
    setMenuLists(lists);
    setCachedMenuLists(*noted, lists);
    validateShortcuts();
}

// ---- notifications

void QRVShortcutsViewController::applicationDidBecomeActiveNotification() {
    loadApplications();
    loadApplicationMenuItems();
    loadMenuShortcuts();
}

void QRVShortcutsViewController::applicationWillResignActiveNotification() {
    if (m_needsSaving)
        saveApplicationShortcuts();
}

void QRVShortcutsViewController::applicationWillTerminateNotification() {
    if (m_needsSaving)
        saveApplicationShortcuts();
}

void QRVShortcutsViewController::workspaceDidLaunchApplicationNotification(
    const RunningApplication& launched) {
    loadApplications();
    const QRVAplicationPtr entry = application();
    if (launched.bundleIdentifier.isEmpty() || !entry ||
        launched.bundleIdentifier != entry->bundleIdentifier())
        return;
    loadApplicationMenuItems();
    scheduleLaunchRetry(launched.bundleIdentifier, std::make_shared<int>(0));
}

// A launched application builds its menus a moment after it reports the
// launch: look again every two seconds until they are read, at most 11 times.
void QRVShortcutsViewController::scheduleLaunchRetry(const QString& bundleIdentifier,
                                                     std::shared_ptr<int> attempts) {
    QPointer<QRVShortcutsViewController> self(this);
    m_services.scheduler.afterMain(kLaunchRetryInterval, [self, bundleIdentifier, attempts] {
        if (!self || self->topLevelMenuItems())
            return;
        const int before = (*attempts)++;
        const QRVAplicationPtr entry = self->application();
        if (before < kLaunchRetries && entry && entry->bundleIdentifier() == bundleIdentifier) {
            self->loadApplicationMenuItems();
            self->scheduleLaunchRetry(bundleIdentifier, attempts);
        }
    });
}

void QRVShortcutsViewController::workspaceDidActivateApplicationNotification(
    const RunningApplication& activated) {
    if (activated.bundleIdentifier.isEmpty())
        return;
    const QRVAplicationPtr entry = application();
    if (entry && activated.bundleIdentifier == entry->bundleIdentifier()) {
        setCachedMenuLists(*entry, {});
        loadApplicationMenuItems();
        return;
    }
    for (const QRVAplicationPtr& other : std::as_const(m_applications)) {
        if (other->bundleIdentifier() == activated.bundleIdentifier) {
            setCachedMenuLists(*other, {});
            return;
        }
    }
}

} // namespace qrv
