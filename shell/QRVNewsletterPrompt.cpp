#include "shell/QRVNewsletterPrompt.h"

#include "platform/AlertPresenter.h"
#include "platform/UserDefaults.h"

namespace qrv {

bool QRVNewsletterPrompt::isDue(const UserDefaults& defaults) {
    return !defaults.boolForKey(kSuppressKey) &&
           defaults.integerForKey(kUsageOperationsKey) >= kMinimumUsage &&
           defaults.integerForKey(kUsageSessionsKey) >= kMinimumUsage;
}

QRVNewsletterPrompt::Answer QRVNewsletterPrompt::run(AlertPresenter& alerts, UserDefaults& defaults,
                                                     const QString& bundleName) {
    if (!isDue(defaults))
        return Answer::NotShown;
    Alert alert;
    alert.style = Alert::Style::Informational;
    alert.messageText = tr("Sign up for News from Brackwyn Software");
    alert.informativeText =
        tr("We hope you enjoy using %1. Don't forget to sign up for our low traffic newsletter to "
           "receive news about applications, updates, and special offers.")
            .arg(bundleName);
    alert.buttons = {{tr("OK"), QStringLiteral("\r")},
                     {tr("Later"), QString()},
                     {tr("No, Thanks"), QStringLiteral("\x1b")}};
    switch (alerts.runModal(alert).index()) {
    case 0:
        defaults.setBool(kAcceptedKey, true);
        defaults.setBool(kSuppressKey, true);
        return Answer::SignUp;
    case 2:
        defaults.setBool(kAcceptedKey, false);
        defaults.setBool(kSuppressKey, true);
        return Answer::NoThanks;
    default:
        // "Later", and a prompt closed without a choice.
        return Answer::Later;
    }
}

} // namespace qrv
