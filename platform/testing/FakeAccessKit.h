#pragma once

#include "platform/AccessKit.h"
#include "platform/testing/FakePermissionStatus.h"

#include <QStringList>
#include <functional>

namespace qrv::testing {

// The permission library as the test sets it: statuses come from the fake
// status centre, and every request, instruction and opening of the settings
// is recorded with the stop options in force at the time. The overlay shows
// from an instruction until the test ends it.
class FakeAccessKit final : public AccessKit {
    Q_OBJECT
  public:
    struct StopOptions {
        bool onQuit = false, onDeactivate = false, onHostActivation = false;
        bool operator==(const StopOptions&) const = default;
    };
    static constexpr StopOptions kAllStops{true, true, true};

    explicit FakeAccessKit(FakePermissionStatus& statusCenter)
        : AccessKit(statusCenter)
        , m_status(statusCenter) {}

    void requestPrivacyAuthorization(const QString& identifier, bool silent) override {
        requests.append(identifier + (silent ? QStringLiteral(" (silent)") : QString()));
        if (onRequest)
            onRequest(identifier);
    }
    void askAccessForPanelIdentifier(const QString& identifier) override {
        asked.append(identifier);
        askedWith.append({stopOnQuitOfSystemPreferences(), stopOnDeactivateOfSystemPreferences(),
                          stopOnActivateOfHostApplication()});
        setOverlayShown(true);
        if (onAsk)
            onAsk(identifier);
    }
    void openPrivacyPreferencesWithAnchor(const QString& anchor) override { opened.append(anchor); }

    // The user grants or refuses in the settings.
    void grant(const QString& identifier) { m_status.set(identifier, PermissionStatus::kGranted); }
    void endOverlay() { setOverlayShown(false); }

    QStringList requests;
    QStringList asked;
    QList<StopOptions> askedWith;
    QStringList opened;
    // Runs as the user would in the settings (grant, say) after the call is recorded.
    std::function<void(const QString&)> onRequest;
    std::function<void(const QString&)> onAsk;

  private:
    FakePermissionStatus& m_status;
};

} // namespace qrv::testing
