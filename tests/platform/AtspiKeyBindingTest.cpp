#include "platform/linux/AtspiKeyBinding.h"

#include "platform/Accessibility.h"
#include "platform/linux/AtspiAccessibility.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;
using atspi::parseKeyBinding;

namespace {

QKeyCombination key(Qt::KeyboardModifiers modifiers, Qt::Key key) {
    return QKeyCombination(modifiers, key);
}

TEST(AtspiKeyBinding, ReadsEachToolkitsFormAndNothingWhereThereIsNoSingleKey) {
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const QList<std::pair<const char*, QKeyCombination>> rows{
        // Qt's portable text
        {"Ctrl+Shift+S", key(ctrlShift, Qt::Key_S)},
        {"Meta+Alt+D", key(Qt::MetaModifier | Qt::AltModifier, Qt::Key_D)},
        {"F3", key(Qt::NoModifier, Qt::Key_F3)},
        {"Alt+Right", key(Qt::AltModifier, Qt::Key_Right)},
        {"Ctrl++", key(Qt::ControlModifier, Qt::Key_Plus)},
        {"Ctrl+;", key(Qt::ControlModifier, Qt::Key_Semicolon)},
        // GTK's accelerator names, Primary being Control here
        {"<Control><Shift>s", key(ctrlShift, Qt::Key_S)},
        {"<Primary>s", key(Qt::ControlModifier, Qt::Key_S)},
        {"<Ctrl>q", key(Qt::ControlModifier, Qt::Key_Q)},
        {"<Alt>Right", key(Qt::AltModifier, Qt::Key_Right)},
        {"<Super>l", key(Qt::MetaModifier, Qt::Key_L)},
        {"<Control>plus", key(Qt::ControlModifier, Qt::Key_Plus)},
        {"<Control>semicolon", key(Qt::ControlModifier, Qt::Key_Semicolon)},
        {"<Control>Page_Down", key(Qt::ControlModifier, Qt::Key_PageDown)},
        {"<Shift>F10", key(Qt::ShiftModifier, Qt::Key_F10)},
        {"<Control>Return", key(Qt::ControlModifier, Qt::Key_Return)},
        {"<Control>space", key(Qt::ControlModifier, Qt::Key_Space)},
        // ATK's mnemonic;sequence;accelerator: the accelerator alone counts
        {"<Alt>f;<Alt>f:s;<Control>s", key(Qt::ControlModifier, Qt::Key_S)},
        {"o;;Ctrl+O", key(Qt::ControlModifier, Qt::Key_O)},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(parseKeyBinding(QString::fromUtf8(text)), expected) << text;

    for (const char* text :
         {"", "  ", "<Alt>f;<Alt>f:s;", "Ctrl+K, Ctrl+C", "<Control>", "<Control>NoSuchKey",
          "<Bogus>s", "<Control", "Ctrl+Shift", "<Control>Shift_L"})
        EXPECT_FALSE(parseKeyBinding(QString::fromUtf8(text)).has_value()) << text;
}

TEST(AtspiRoles, MenusGetThePlatformsRoles) {
    EXPECT_EQ(platformRoleOf(34, false), ax::kMenuBarRole);
    EXPECT_EQ(platformRoleOf(41, false), ax::kMenuRole);
    // items of any kind, GTK's submenu items (menu) and separators
    for (quint32 role : {35u, 8u, 45u, 33u, 59u, 50u})
        EXPECT_EQ(platformRoleOf(role, false), ax::kMenuItemRole) << role;
    // what stands in the menu bar is a menu title, whatever the toolkit calls it
    EXPECT_EQ(platformRoleOf(35, true), ax::kMenuBarItemRole);
    EXPECT_EQ(platformRoleOf(33, true), ax::kMenuBarItemRole);
    EXPECT_EQ(platformRoleOf(23, false), ax::kUnknownRole); // a frame
}

} // namespace
