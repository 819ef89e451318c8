#pragma once

#include <QDateTime>
#include <QTimeZone>

namespace qrv {

// Crash telemetry runs only before a fixed day: the service that receives it
// is paid for until then. The day ends at local midnight, wherever the user is.
inline constexpr const char* kTelemetryCutOffDate = "2026-05-31";

// True while `now` is strictly earlier than midnight at the start of the
// cut-off day in `zone`.
bool isInsideTelemetryPeriod(const QDateTime& now, const QTimeZone& zone);

} // namespace qrv
