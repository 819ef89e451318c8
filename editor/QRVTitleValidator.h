#pragma once

#include "editor/QRVTitleValidation.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace qrv {

class Scheduler;

// The validation passes of one editor. Each pass is numbered; it computes on
// the global queue from a snapshot taken when it starts and hands its result
// to the main thread, where it is applied only if no newer pass has started
// and the validator still exists. The editor owns its validator, so closing
// the editor drops a pass under way.
class QRVTitleValidator {
  public:
    // What a pass found for the list it examined (the records themselves, in
    // order, so that the editor can tell whether its list is still that one).
    struct Result {
        QList<QRVMenuShortcutPtr> examined;
        QList<QString> warnings; // one per record; null for none

        // What applying did to the current list.
        struct Outcome {
            bool applied = false; // false: the list has been replaced since the pass started
            // The list without its first placeholder, when the editor must take it.
            std::optional<QList<QRVMenuShortcutPtr>> withoutPlaceholder;
        };
        // Unless the current list is no longer the examined one, sets every
        // record's warning (clearing earlier ones) and, for a list of two or
        // more records, answers it without its first placeholder record.
        Outcome applyTo(const std::optional<QList<QRVMenuShortcutPtr>>& current) const;
    };
    using ApplyHandler = std::function<void(const Result&)>;

    explicit QRVTitleValidator(Scheduler& scheduler);
    ~QRVTitleValidator();
    QRVTitleValidator(const QRVTitleValidator&) = delete;
    QRVTitleValidator& operator=(const QRVTitleValidator&) = delete;

    // Main thread. Starts a pass over the records against the menu items
    // (nothing: the menus are not loaded); `apply` receives its result on the
    // main thread, unless the pass has been overtaken meanwhile.
    void validateShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts,
                           const std::optional<QRVMenuItemList>& menuItems, ApplyHandler apply);
    // The number of the latest pass; it only grows.
    quint64 validationRequest() const;

  private:
    struct State;
    QRVValidationSnapshot::MenuItems menuSnapshot(const std::optional<QRVMenuItemList>& menuItems);

    Scheduler& m_scheduler;
    std::shared_ptr<State> m_state;
    // The menu list the cached snapshot was made from.
    std::optional<QRVMenuItemList> m_menuSource;
    QRVValidationSnapshot::MenuItems m_menuSnapshot;
};

} // namespace qrv
