#pragma once

#include "menus/QRVMenuItem.h"

namespace qrv {

// The editor's two look-ups of a menu item by title (completion and edit
// requests use them). Titles compare exactly: same code units, no folding.
struct QRVMenuItemLookup {
    // The one leaf item of the title; null when none has it and also when
    // two or more have it, since the title then names no item for certain.
    static QRVMenuItemPtr leafMenuItemMatchingTitle(const QRVMenuItemList& leaves,
                                                    const QString& title);
    // The item a full display title leads to (menu titles from the menu bar
    // down, joined with ESC, no leading ESC; a trailing ESC is ignored),
    // taking the first item of each level with the title; null when a title
    // is missing at its level.
    static QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QRVMenuItemList& topLevel,
                                                           const QString& fullDisplayTitle);
};

} // namespace qrv
