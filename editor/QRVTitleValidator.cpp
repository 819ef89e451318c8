#include "editor/QRVTitleValidator.h"

#include "editor/EditorThread.h"
#include "platform/Scheduler.h"

namespace qrv {

// Shared with the passes under way. The generation is written on the main
// thread and read by the passes; `alive` is read and written on the main
// thread only.
struct QRVTitleValidator::State {
    std::atomic<quint64> validationRequest{0};
    bool alive = true;
};

QRVTitleValidator::QRVTitleValidator(Scheduler& scheduler)
    : m_scheduler(scheduler)
    , m_state(std::make_shared<State>()) {}

QRVTitleValidator::~QRVTitleValidator() {
    m_state->alive = false;
}

quint64 QRVTitleValidator::validationRequest() const {
    return m_state->validationRequest.load();
}

QRVValidationSnapshot::MenuItems
QRVTitleValidator::menuSnapshot(const std::optional<QRVMenuItemList>& menuItems) {
    // The controller hands out the same shared list until the menus are read
    // again, so this comparison is usually one of list identity.
    if (m_menuSource != menuItems) {
        m_menuSource = menuItems;
        m_menuSnapshot = QRVValidationSnapshot::menuItemsOf(menuItems);
    }
    return m_menuSnapshot;
}

void QRVTitleValidator::validateShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts,
                                          const std::optional<QRVMenuItemList>& menuItems,
                                          ApplyHandler apply) {
    assertEditorMainThread();
    QRVValidationSnapshot snapshot{QRVValidationSnapshot::recordsOf(shortcuts),
                                   menuSnapshot(menuItems)};
    const quint64 generation = m_state->validationRequest.fetch_add(1) + 1;

    m_scheduler.asyncGlobal([state = m_state, scheduler = &m_scheduler, generation,
                             snapshot = std::move(snapshot), examined = shortcuts,
                             apply = std::move(apply)]() mutable {
        // A newer pass makes this one pointless before it starts.
        if (state->validationRequest.load() != generation)
            return;
        const QList<QRVTitleWarning> warnings = titleWarnings(snapshot);
        Result result{std::move(examined), {}};
        result.warnings.reserve(warnings.size());
        const QRVTitleWarning::Texts texts = QRVTitleWarning::Texts::translated();
        for (const QRVTitleWarning& warning : warnings)
            result.warnings.append(warning.text(texts));
        // The scheduler outlives every editor (it is handed to them), so it
        // is safe to post through after the validator is gone.
        scheduler->asyncMain([state = std::move(state), generation, result = std::move(result),
                              apply = std::move(apply)] {
            if (!state->alive || state->validationRequest.load() != generation)
                return;
            apply(result);
        });
    });
}

QRVTitleValidator::Result::Outcome
QRVTitleValidator::Result::applyTo(const std::optional<QList<QRVMenuShortcutPtr>>& current) const {
    assertEditorMainThread();
    Outcome outcome;
    // Records compare by identity: the list must still hold these very objects.
    if (!current || *current != examined)
        return outcome;
    outcome.applied = true;
    for (qsizetype i = 0; i < examined.size(); ++i)
        examined.at(i)->setWarningMessage(warnings.value(i));
    if (examined.size() < 2)
        return outcome;
    // The flag is read now, not from the snapshot: a placeholder the user has
    // typed into meanwhile is a real record and stays.
    for (qsizetype i = 0; i < examined.size(); ++i) {
        if (examined.at(i)->isPlaceholder()) {
            QList<QRVMenuShortcutPtr> shorter = examined;
            shorter.removeAt(i);
            outcome.withoutPlaceholder = std::move(shorter);
            break;
        }
    }
    return outcome;
}

} // namespace qrv
