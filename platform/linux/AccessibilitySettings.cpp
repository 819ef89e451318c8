#include "platform/linux/AccessibilitySettings.h"

#include "platform/bundles/ApplicationBundles.h"
#include "platform/linux/DesktopEntryMatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qrv::access {
namespace {

struct Candidate {
    const char* desktop; // as XDG_CURRENT_DESKTOP names it
    const char* name;
    QStringList programs;
    QStringList desktopEntries;
    QStringList arguments;
};

QList<Candidate> candidates() {
    return {
        {"GNOME",
         QT_TRANSLATE_NOOP("AccessibilitySettings", "Settings"),
         {QStringLiteral("gnome-control-center")},
         {QStringLiteral("org.gnome.Settings.desktop"),
          QStringLiteral("gnome-control-center.desktop")},
         {QStringLiteral("universal-access")}},
        {"KDE",
         QT_TRANSLATE_NOOP("AccessibilitySettings", "System Settings"),
         {QStringLiteral("systemsettings"), QStringLiteral("systemsettings5")},
         {QStringLiteral("systemsettings.desktop"), QStringLiteral("kdesystemsettings.desktop"),
          QStringLiteral("org.kde.systemsettings.desktop")},
         {QStringLiteral("kcm_access")}},
    };
}

bool isExecutable(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The program of the candidate: on PATH, else the one its desktop entry starts.
QString findProgram(const Candidate& candidate, const SettingsSearch& search) {
    for (const QString& program : candidate.programs) {
        const QString found = QStandardPaths::findExecutable(program, search.pathFolders);
        if (!found.isEmpty())
            return found;
    }
    for (const QString& folder : search.desktopEntryFolders) {
        for (const QString& entry : candidate.desktopEntries) {
            const QString path = QDir(folder).filePath(entry);
            const auto values = bundles::desktopEntryValues(path);
            if (!values)
                continue;
            const QStringList exec = desktop::execArguments(values->value(QStringLiteral("Exec")));
            if (exec.isEmpty())
                continue;
            const QString program = exec.first();
            if (program.contains(u'/')) {
                if (isExecutable(program))
                    return program;
                continue;
            }
            const QString found = QStandardPaths::findExecutable(program, search.pathFolders);
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

SettingsSearch SettingsSearch::fromEnvironment() {
    SettingsSearch search;
    search.pathFolders =
        qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        search.desktopEntryFolders << data + QStringLiteral("/applications");
    search.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    return search;
}

std::optional<SettingsProgram> accessibilitySettings(const SettingsSearch& search) {
    QList<Candidate> ordered = candidates();
    // The running desktop's own settings first: both may be installed.
    const QStringList running = search.currentDesktop.split(u':', Qt::SkipEmptyParts);
    std::stable_partition(ordered.begin(), ordered.end(), [&](const Candidate& c) {
        return running.contains(QLatin1String(c.desktop), Qt::CaseInsensitive);
    });
    for (const Candidate& candidate : ordered) {
        const QString program = findProgram(candidate, search);
        if (!program.isEmpty())
            return SettingsProgram{
                QCoreApplication::translate("AccessibilitySettings", candidate.name), program,
                candidate.arguments};
    }
    return std::nullopt;
}

} // namespace qrv::access
