#pragma once

#include <QCoreApplication>
#include <QString>

namespace qrv {

class AlertPresenter;
class BundleMoveSystem;
class Scheduler;
class UserDefaults;

// What moving the application needs from the platform.
struct MoveApplicationServices {
    BundleMoveSystem& system;
    UserDefaults& userDefaults;
    AlertPresenter& alerts;
    Scheduler& scheduler;
};

// Offers, once per launch and before the first window, to move the
// application folder the program runs from into the local Applications
// folder; when the user agrees it copies itself there, disposes of the folder
// it was started from, starts the copy and asks the caller to quit.
class BWMoveApplication {
    Q_DECLARE_TR_FUNCTIONS(MoveApplication)

  public:
    static constexpr const char* kSuppressAlertKey = "moveToApplicationsFolderAlertSuppress";

    enum class Outcome {
        Continue, // launch goes on from where the program is
        Quit,     // the copy takes over: end the process now with status 0
    };

    explicit BWMoveApplication(const MoveApplicationServices& services);

    // Call on the main thread before launch finishes. From another thread the
    // check is handed to the main queue (and then quits the event loop itself
    // when it must), and this answers Continue.
    [[nodiscard]] Outcome moveToApplicationsFolderIfNecessary();

    // True while the check has found the program outside an Applications
    // folder and has not finished: closing the last window must not quit then.
    static bool isMoveInProgress();

  private:
    bool isInApplicationsFolder(const QString& path) const;
    QString destinationName() const;
    bool showOffer(bool needsAuthorization) const;
    enum class Copy { Done, Failed, Cancelled, SwitchedToRunningCopy };
    Copy copyWithoutAuthorization(const QString& destination);
    Copy copyWithAuthorization(const QString& destination);
    bool trash(const QString& path);
    bool deleteOrTrash(const QString& path);
    void showFailure() const;

    MoveApplicationServices m_services;
    QString m_bundlePath;
    QString m_bundleName;
    QString m_shortVersion;
};

} // namespace qrv
