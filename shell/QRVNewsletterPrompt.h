#pragma once

#include <QCoreApplication>

namespace qrv {

class AlertPresenter;
class UserDefaults;

// The invitation to the maker's newsletter that quitting shows to people who
// use the program: at least four edits over at least four sessions with
// edits, until they answer it with "OK" or "No, Thanks".
class QRVNewsletterPrompt {
    Q_DECLARE_TR_FUNCTIONS(QRVNewsletterPrompt)

  public:
    enum class Answer { NotShown, SignUp, Later, NoThanks };

    static inline const QString kUsageOperationsKey = QStringLiteral("usageOperations");
    static inline const QString kUsageSessionsKey = QStringLiteral("usageSessions");
    static inline const QString kSuppressKey = QStringLiteral("suppressNewsletterPrompt");
    static inline const QString kAcceptedKey = QStringLiteral("acceptedNewsletterPrompt");
    static constexpr qint64 kMinimumUsage = 4;

    static bool isDue(const UserDefaults& defaults);
    // Shows the prompt when it is due and stores the answer; "Later" stores
    // nothing, so the prompt comes again at the next quit.
    static Answer run(AlertPresenter& alerts, UserDefaults& defaults, const QString& bundleName);
};

} // namespace qrv
