#pragma once

#include "platform/Workspace.h"

#include <QHash>
#include <QIcon>
#include <QStringList>
#include <optional>

// Installed applications on this system: application bundles (Name.app) in
// Applications folders and XDG desktop entries, shared by the workspace and
// its test double.
namespace qrv::bundles {

struct SearchPaths {
    QStringList bundleFolders;       // searched for *.app, and one level below
    QStringList desktopEntryFolders; // XDG "applications" folders, most important first
};

// <home>/Applications, /Applications where it exists, and the XDG folders.
SearchPaths defaultSearchPaths(const QString& preferencesHome);

std::optional<ApplicationBundle> read(const QString& path);

// The path of the application with this identifier (compared without regard
// to case), bundles first; empty when none is installed. Hidden and no-display
// desktop entries are skipped (a hidden one hides those of the same id below).
QString locate(const QString& bundleIdentifier, const SearchPaths& paths);

// The values of a desktop entry's [Desktop Entry] group, unescaped; nothing
// when the file is none.
std::optional<QHash<QString, QString>> desktopEntryValues(const QString& path);
QString displayName(const QString& path);
QIcon iconForFile(const QString& path);

// The user's languages, most preferred first, as "de_DE" and "de".
QStringList preferredLanguages();

} // namespace qrv::bundles
