#pragma once

#include <QJsonObject>
#include <functional>
#include <optional>

namespace qrv {

// The in-process notification MenuShortcutRequestNotificationName: the content
// of an opened file, handed from the application delegate to the editor. A
// request posted before the editor listens (a file opened at launch) is kept
// and delivered when it starts listening; a later one replaces it. Main thread.
class EditRequestMailbox {
  public:
    static constexpr const char* kNotificationName = "MenuShortcutRequestNotificationName";

    using Receiver = std::function<void(const QJsonObject& userInfo)>;

    void post(const QJsonObject& userInfo);
    // Delivers a kept request at once. An empty receiver stops listening.
    void setReceiver(Receiver receiver);
    bool hasPendingRequest() const { return m_pending.has_value(); }

  private:
    Receiver m_receiver;
    std::optional<QJsonObject> m_pending;
};

} // namespace qrv
