#pragma once

#include "platform/DistributedNotifications.h"

#include <QList>

namespace qrv::testing {

// Keeps every posted notification for the test to look at.
class RecordingNotifications final : public DistributedNotifications {
  public:
    struct Posted {
        QString name;
        QVariantMap userInfo;
    };
    void post(const QString& name, const QVariantMap& userInfo) override {
        posted.append({name, userInfo});
    }
    QList<Posted> posted;
};

} // namespace qrv::testing
