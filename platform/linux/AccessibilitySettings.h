#pragma once

#include "platform/PrivacySettings.h"

#include <QString>
#include <QStringList>
#include <optional>

// Where the user switches on what lets this program read other applications'
// menus: the desktop's accessibility settings (GNOME Settings, KDE System
// Settings), found as a program on PATH or through its desktop entry.
namespace qrv::access {

struct SettingsSearch {
    QStringList pathFolders;         // PATH, in order
    QStringList desktopEntryFolders; // XDG "applications" folders, most important first
    QString currentDesktop;          // XDG_CURRENT_DESKTOP: the running desktop's settings first
    static SettingsSearch fromEnvironment();
};

// The accessibility settings of an installed desktop; nothing when none is.
std::optional<SettingsProgram> accessibilitySettings(const SettingsSearch& search);

} // namespace qrv::access
