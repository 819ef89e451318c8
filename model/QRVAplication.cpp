#include "model/QRVAplication.h"

namespace qrv {

QRVAplication::QRVAplication(QString bundleIdentifier, QString localizedName)
    : m_bundleIdentifier(std::move(bundleIdentifier))
    , m_localizedName(std::move(localizedName)) {}

#define QRV_ATOMIC_PROPERTY(Type, getter, setter, member)                                          \
    Type QRVAplication::getter() const {                                                           \
        QMutexLocker locker(&m_mutex);                                                             \
        return member;                                                                             \
    }                                                                                              \
    void QRVAplication::setter(const Type& value) {                                                \
        QMutexLocker locker(&m_mutex);                                                             \
        member = value;                                                                            \
    }

QRV_ATOMIC_PROPERTY(QString, localizedName, setLocalizedName, m_localizedName)
QRV_ATOMIC_PROPERTY(QIcon, icon, setIcon, m_icon)
QRV_ATOMIC_PROPERTY(std::optional<QRVMenuItemList>, topLevelMenuItems, setTopLevelMenuItems,
                    m_topLevelMenuItems)
QRV_ATOMIC_PROPERTY(std::optional<QRVMenuItemList>, allMenuItems, setAllMenuItems, m_allMenuItems)
QRV_ATOMIC_PROPERTY(std::optional<QRVMenuItemList>, nodeMenuItems, setNodeMenuItems,
                    m_nodeMenuItems)
QRV_ATOMIC_PROPERTY(std::optional<QRVMenuItemList>, leafMenuItems, setLeafMenuItems,
                    m_leafMenuItems)

#undef QRV_ATOMIC_PROPERTY

bool QRVAplication::isEqual(const QRVAplication& other) const {
    return !m_bundleIdentifier.isNull() && m_bundleIdentifier == other.m_bundleIdentifier;
}

} // namespace qrv
