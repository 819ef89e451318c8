#include "editor/QRVPopUpButtonMenu.h"

namespace qrv {

QAction* QRVPopUpButtonMenu::insertItem(const QString& title, const QKeySequence& keyEquivalent,
                                        int index) {
    const QList<QAction*> existing = actions();
    QAction* before = index >= 0 && index < existing.size() ? existing.at(index) : nullptr;
    QAction* action = new QAction(this);
    if (title == kSeparatorTitle) {
        action->setSeparator(true);
    } else {
        action->setText(title);
        action->setShortcut(keyEquivalent);
    }
    insertAction(before, action);
    return action;
}

} // namespace qrv
