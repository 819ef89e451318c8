#pragma once

#include "editor/QRVEditorServices.h"
#include "support/FakePlatform.h"

namespace qrv::testing {

// What the editor's controller works with, from the doubles of a fake
// platform; without a menu bar unless one is given.
inline QRVEditorServices editorServices(FakePlatform& world,
                                        std::function<const QWidget*()> mainMenu = {}) {
    if (!mainMenu)
        mainMenu = [] {
            return static_cast<const QWidget*>(nullptr);
        };
    return {world.alerts,         world.pasteboard, world.scheduler,
            world.keyboardLayout, world.hotKeys,    std::move(mainMenu)};
}

} // namespace qrv::testing
