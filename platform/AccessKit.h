#pragma once

#include "platform/PermissionStatus.h"

#include <QObject>
#include <QString>

namespace qrv {

// The permission library: the status centre (read fresh on every call, never
// cached), the request, and the kit that shows the user where to grant a
// permission, with a guiding overlay beside the settings while they are open.
// One shared instance per program; main thread only.
//
// The overlay ends on the stop conditions switched on: the settings quit,
// the settings lose the focus, or this program becomes active again.
class AccessKit : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool overlayShown READ isOverlayShown NOTIFY overlayShownChanged)
  public:
    explicit AccessKit(const PermissionStatus& statusCenter, QObject* parent = nullptr)
        : QObject(parent)
        , m_statusCenter(statusCenter) {}

    // ---- the status centre
    const PermissionStatus& statusCenter() const { return m_statusCenter; }
    int privacyAuthorizationStatus(const QString& identifier) const {
        return m_statusCenter.authorizationStatus(identifier);
    }
    bool isGranted(const QString& identifier) const { return m_statusCenter.isGranted(identifier); }
    // Asks the user for the permission in the library's own way (silent:
    // only when nothing needs to be shown). Nothing is answered: the status
    // tells later whether it was granted.
    virtual void requestPrivacyAuthorization(const QString& identifier, bool silent) = 0;

    // ---- the kit
    void setStopOnQuitOfSystemPreferences(bool stop) { m_stopOnQuit = stop; }
    void setStopOnDeactivateOfSystemPreferences(bool stop) { m_stopOnDeactivate = stop; }
    void setStopOnActivateOfHostApplication(bool stop) { m_stopOnHostActivation = stop; }
    bool stopOnQuitOfSystemPreferences() const { return m_stopOnQuit; }
    bool stopOnDeactivateOfSystemPreferences() const { return m_stopOnDeactivate; }
    bool stopOnActivateOfHostApplication() const { return m_stopOnHostActivation; }

    // Opens the privacy settings at this permission and shows the guiding overlay.
    virtual void askAccessForPanelIdentifier(const QString& identifier) = 0;
    // Opens the privacy settings; an empty anchor opens them at no permission in particular.
    virtual void openPrivacyPreferencesWithAnchor(const QString& anchor) = 0;
    bool isOverlayShown() const { return m_overlayShown; }

  signals:
    void overlayShownChanged(bool shown);

  protected:
    void setOverlayShown(bool shown) {
        if (shown == m_overlayShown)
            return;
        m_overlayShown = shown;
        emit overlayShownChanged(shown);
    }

  private:
    const PermissionStatus& m_statusCenter;
    bool m_stopOnQuit = false;
    bool m_stopOnDeactivate = false;
    bool m_stopOnHostActivation = false;
    bool m_overlayShown = false;
};

// The shared kit as every explanation uses it: the overlay ends when the
// settings quit or lose the focus, or when this program is active again.
// Set again each time, since anyone may have changed the options meanwhile.
inline AccessKit& preparedAccessKit(AccessKit& kit) {
    kit.setStopOnQuitOfSystemPreferences(true);
    kit.setStopOnDeactivateOfSystemPreferences(true);
    kit.setStopOnActivateOfHostApplication(true);
    return kit;
}

// The single way the program shows the user how to grant a permission.
inline void showAccessInstructions(AccessKit& kit, const QString& identifier) {
    preparedAccessKit(kit).askAccessForPanelIdentifier(identifier);
}

} // namespace qrv
