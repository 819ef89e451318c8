#include "editor/QRVShortcutsCommands.h"

#include "editor/QRVShortcutsViewController.h"
#include "platform/MainThread.h"

namespace qrv {

using Command = QRVShortcutsCommands::Command;

QRVShortcutsCommands::QRVShortcutsCommands(QRVShortcutsViewController& controller)
    : QObject(&controller)
    , m_controller(controller) {
    makeActions();
    updateEnabling();
}

QRVShortcutsCommands::~QRVShortcutsCommands() = default;

QList<Command> QRVShortcutsCommands::allCommands() {
    return {Command::AddShortcut, Command::RemoveShortcut,         Command::Copy,
            Command::Paste,       Command::SelectOtherApplication, Command::Import,
            Command::ExportAll,   Command::ExportSelected,         Command::CreateRequest};
}

void QRVShortcutsCommands::makeActions() {
    struct Definition {
        Command command;
        QString text;
        QList<QKeySequence> keys;
        QString objectName;
    };
    const Definition definitions[] = {
        {Command::AddShortcut,
         tr("Add Shortcut"),
         {QKeySequence(Qt::CTRL | Qt::Key_N)},
         QStringLiteral("addShortcutAction")},
        {Command::RemoveShortcut,
         tr("Remove Shortcut"),
         {QKeySequence(Qt::CTRL | Qt::Key_Backspace), QKeySequence::Delete},
         QStringLiteral("removeShortcutAction")},
        {Command::Copy, tr("Copy"), {QKeySequence::Copy}, QStringLiteral("copy")},
        {Command::Paste, tr("Paste"), {QKeySequence::Paste}, QStringLiteral("paste")},
        {Command::SelectOtherApplication,
         tr("Add Application…"),
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
         QStringLiteral("selectOtherApplication")},
        {Command::Import,
         tr("Import Shortcuts…"),
         {QKeySequence(Qt::CTRL | Qt::Key_O)},
         QStringLiteral("import")},
        {Command::ExportAll,
         tr("Export All Shortcuts…"),
         {QKeySequence(Qt::CTRL | Qt::Key_E)},
         QStringLiteral("exportAll")},
        {Command::ExportSelected,
         tr("Export Selected Shortcuts…"),
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
         QStringLiteral("exportSelected")},
        {Command::CreateRequest, tr("Create Request…"), {}, QStringLiteral("createRequest")},
    };
    for (const Definition& definition : definitions) {
        auto* action = new QAction(definition.text, this);
        action->setObjectName(definition.objectName);
        action->setShortcuts(definition.keys);
        // The keys work wherever the focus is in the window that holds the menus.
        action->setShortcutContext(Qt::WindowShortcut);
        const Command command = definition.command;
        connect(action, &QAction::triggered, this, [this, command] { perform(command); });
        m_actions.insert(command, action);
    }
}

bool QRVShortcutsCommands::validateMenuItem(Command command) const {
    QRV_ASSERT_MAIN_THREAD();
    const QRVShortcutsViewController& c = m_controller;
    switch (command) {
    case Command::AddShortcut:
    case Command::RemoveShortcut:
    case Command::SelectOtherApplication:
        return true; // refused, when they are, with the reason (or a beep)
    case Command::Copy:
        return c.canCopy();
    case Command::Paste:
        return c.canPaste();
    case Command::Import:
        return hasHandler(command) && c.application() != nullptr;
    case Command::ExportAll:
        return hasHandler(command) && c.canExportAll();
    case Command::ExportSelected:
    case Command::CreateRequest:
        return hasHandler(command) && c.canExportSelected();
    }
    return true;
}

bool QRVShortcutsCommands::perform(Command command) {
    QRV_ASSERT_MAIN_THREAD();
    if (!validateMenuItem(command))
        return false;
    switch (command) {
    case Command::AddShortcut:
        m_controller.addShortcutAction();
        break;
    case Command::RemoveShortcut:
        m_controller.removeShortcutAction();
        break;
    case Command::Copy:
        m_controller.copy();
        break;
    case Command::Paste:
        m_controller.paste();
        break;
    case Command::SelectOtherApplication:
        m_controller.selectOtherApplication();
        break;
    case Command::Import:
    case Command::ExportAll:
    case Command::ExportSelected:
    case Command::CreateRequest:
        m_handlers.value(command)();
        break;
    }
    return true;
}

void QRVShortcutsCommands::setHandler(Command command, std::function<void()> handler) {
    const bool delegated = command == Command::Import || command == Command::ExportAll ||
                           command == Command::ExportSelected || command == Command::CreateRequest;
    QRV_SOFT_ASSERT(delegated && "only commands done elsewhere take handlers", return );
    if (handler)
        m_handlers.insert(command, std::move(handler));
    else
        m_handlers.remove(command);
    updateEnabling();
}

void QRVShortcutsCommands::updateEnabling() {
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it)
        it.value()->setEnabled(validateMenuItem(it.key()));
}

} // namespace qrv
