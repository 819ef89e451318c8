#include "exchange/EditRequestMailbox.h"

namespace qrv {

void EditRequestMailbox::post(const QJsonObject& userInfo) {
    if (m_receiver)
        m_receiver(userInfo);
    else
        m_pending = userInfo;
}

void EditRequestMailbox::setReceiver(Receiver receiver) {
    m_receiver = std::move(receiver);
    if (m_receiver && m_pending) {
        const QJsonObject userInfo = std::move(*m_pending);
        m_pending.reset();
        m_receiver(userInfo);
    }
}

} // namespace qrv
