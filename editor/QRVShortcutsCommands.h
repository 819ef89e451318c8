#pragma once

#include <QAction>
#include <QHash>
#include <QObject>
#include <functional>

namespace qrv {

class QRVShortcutsViewController;

// The editor's commands as the window shows them: one QAction each, with its
// text, its key and an enabled state that is kept current (the menu
// validation of the editor). The main window puts them into its menu bar; the
// + and − buttons under the table trigger the same actions.
//
// Commands whose work belongs to other parts of the program (import, export,
// requests) stay disabled until that part installs a handler; an action that
// looks enabled always does something.
class QRVShortcutsCommands : public QObject {
    Q_OBJECT
  public:
    enum class Command {
        AddShortcut,            // File: add a row and edit its title
        RemoveShortcut,         // Edit: remove the selected rows
        Copy,                   // Edit: the selected records to the pasteboard
        Paste,                  // Edit: records from the pasteboard, appended
        SelectOtherApplication, // File: choose an application to edit
        Import,                 // File: read an exchange file (handler installed later)
        ExportAll,              // File: write every shortcut (handler installed later)
        ExportSelected,         // File: write the selected shortcuts (handler installed later)
        CreateRequest,          // File: write a request for one row (handler installed later)
    };
    Q_ENUM(Command)

    explicit QRVShortcutsCommands(QRVShortcutsViewController& controller);
    ~QRVShortcutsCommands() override;

    QAction* action(Command command) const { return m_actions.value(command); }
    // Every command, in the order above.
    static QList<Command> allCommands();

    // Whether the command may run now; the action's enabled state follows it.
    bool validateMenuItem(Command command) const;
    // Runs the command if it may run now; false when it was refused.
    bool perform(Command command);

    // Where a command's work is done elsewhere: installs (or, with an empty
    // function, removes) it. Only Import, ExportAll, ExportSelected and
    // CreateRequest take handlers; the others are the editor's own.
    void setHandler(Command command, std::function<void()> handler);
    bool hasHandler(Command command) const { return m_handlers.contains(command); }

    // Recomputes every action's enabled state (the controller calls it when
    // the list, the selection, the application or the pasteboard changes).
    void updateEnabling();

  private:
    void makeActions();

    QRVShortcutsViewController& m_controller;
    QHash<Command, QAction*> m_actions;
    QHash<Command, std::function<void()>> m_handlers;
};

} // namespace qrv
