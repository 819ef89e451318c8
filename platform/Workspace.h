#pragma once

#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <optional>

namespace qrv {

// An application that runs now.
struct RunningApplication {
    enum class ActivationPolicy { Regular, Accessory, Prohibited };

    QString bundleIdentifier;
    QString localizedName;
    QIcon icon;
    qint64 processId = 0;
    // Regular: an ordinary application with a menu bar; the others are agents
    // and background processes.
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
};

// An installed application as its bundle describes it. Two kinds are read: an
// application bundle (Name.app/Contents/Info.plist, with localized values from
// Contents/Resources/<language>.lproj/InfoPlist.strings) and a desktop entry
// (<id>.desktop, whose id is the bundle identifier; Name becomes both
// CFBundleName and CFBundleDisplayName, Icon CFBundleIconFile).
struct ApplicationBundle {
    QString path;             // the .app folder or the .desktop file
    QString bundleIdentifier; // empty when the bundle names none
    QVariantMap infoDictionary;
    QVariantMap localizedInfoDictionary; // the values for the user's language
};

// Running applications, installed applications and the file manager's view of
// files. Main thread only.
class Workspace : public QObject {
    Q_OBJECT
  public:
    ~Workspace() override = default;

    virtual QList<RunningApplication> runningApplications() const = 0;
    QList<RunningApplication>
    runningApplicationsWithBundleIdentifier(const QString& bundleIdentifier) const;

    // Where the application with this identifier is installed; empty when the
    // system knows none. Identifiers compare without regard to case.
    virtual QUrl urlForApplication(const QString& bundleIdentifier) const = 0;
    // Starts the application with this identifier without waiting for it and,
    // where the system allows, without bringing it to the front. A launch that
    // fails is logged, not reported: the caller goes on either way.
    virtual void launchApplication(const QString& bundleIdentifier) = 0;
    // The bundle at a path; nothing when the path is no application bundle.
    virtual std::optional<ApplicationBundle> bundleAtPath(const QString& path) const = 0;

    // The name the file manager shows for a path.
    virtual QString displayNameAtPath(const QString& path) const = 0;
    // The icon the file manager shows for a file or bundle. Null in a program
    // without a GUI application object (icons need one).
    virtual QIcon iconForFile(const QString& path) const = 0;

  signals:
    void didLaunchApplication(const qrv::RunningApplication& application);
    void didActivateApplication(const qrv::RunningApplication& application);
};

} // namespace qrv

Q_DECLARE_METATYPE(qrv::RunningApplication)
