#include "editor/QRVMenuItemLookup.h"

namespace qrv {

QRVMenuItemPtr QRVMenuItemLookup::leafMenuItemMatchingTitle(const QRVMenuItemList& leaves,
                                                            const QString& title) {
    QRVMenuItemPtr found;
    for (const QRVMenuItemPtr& item : leaves) {
        if (item->title() != title)
            continue;
        if (found)
            return nullptr;
        found = item;
    }
    return found;
}

QRVMenuItemPtr
QRVMenuItemLookup::menuItemMatchingFullDisplayTitle(const QRVMenuItemList& topLevel,
                                                    const QString& fullDisplayTitle) {
    QList<QStringView> pieces = QStringView(fullDisplayTitle).split(QRVMenuItem::kPathSeparator);
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    const QRVMenuItemList* level = &topLevel;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const auto item =
            std::find_if(level->cbegin(), level->cend(),
                         [&](const QRVMenuItemPtr& it) { return it->title() == pieces.at(i); });
        if (item == level->cend())
            return nullptr;
        if (i == pieces.size() - 1)
            return *item;
        level = &(*item)->children();
    }
    return nullptr;
}

} // namespace qrv
