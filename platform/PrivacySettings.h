#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace qrv {

// A preference folder this process cannot read and write.
struct FolderProblem {
    QString folder; // the folder that cannot be used
    QString reason; // why, a sentence for people
    // A shell command that fixes it when the user runs it (quoted for a POSIX
    // shell; with sudo when another user owns the folder); empty when nothing
    // run from here can fix it (a read-only mount, say).
    QString command;
};

// A settings program of the desktop, opened at one page.
struct SettingsProgram {
    QString name;          // as the desktop calls it ("Settings", "System Settings")
    QString program;       // an executable path
    QStringList arguments; // the page
};

// What stands in the way of each permission on this system, and where the
// user changes it: the facts the permission library explains to the user.
// Read afresh on every call. Main thread only.
class PrivacySettings {
  public:
    virtual ~PrivacySettings() = default;
    // The preferences home whose folders full disk access is about.
    virtual QString preferencesHome() const = 0;
    // The first preference folder that cannot be read and written; nothing when all can.
    virtual std::optional<FolderProblem> preferencesFolderProblem() const = 0;
    // The desktop's accessibility settings; nothing when none is installed.
    virtual std::optional<SettingsProgram> accessibilitySettings() const = 0;
};

} // namespace qrv
