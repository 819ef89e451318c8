#pragma once

#include <QKeySequence>
#include <QMenu>

namespace qrv {

// A pop-up button's menu whose items may be given as titles: the title
// "%:/ SEPARATOR" inserts a separator instead of an item.
class QRVPopUpButtonMenu : public QMenu {
    Q_OBJECT
  public:
    static inline const QString kSeparatorTitle = QStringLiteral("%:/ SEPARATOR");

    using QMenu::QMenu;

    // Inserts before the item at index (appends for an index past the end).
    QAction* insertItem(const QString& title, const QKeySequence& keyEquivalent, int index);
    QAction* addItem(const QString& title, const QKeySequence& keyEquivalent = {}) {
        return insertItem(title, keyEquivalent, int(actions().size()));
    }
};

} // namespace qrv
