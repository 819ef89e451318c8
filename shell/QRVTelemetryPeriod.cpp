#include "shell/QRVTelemetryPeriod.h"

#include <QLocale>

namespace qrv {

bool isInsideTelemetryPeriod(const QDateTime& now, const QTimeZone& zone) {
    const QDate day = QLocale::c().toDate(QString::fromLatin1(kTelemetryCutOffDate),
                                          QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid() || !now.isValid())
        return false; // no period can be told: stay off
    const QDateTime cutOff = day.startOfDay(zone);
    return now < cutOff;
}

} // namespace qrv
