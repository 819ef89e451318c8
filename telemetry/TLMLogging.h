#pragma once

#include <QLoggingCategory>

// The telemetry library's categories: QT_LOGGING_RULES="qrv.telemetry*=true"
// shows all of them.
Q_DECLARE_LOGGING_CATEGORY(lcTelemetry)
Q_DECLARE_LOGGING_CATEGORY(lcTelemetryStorage)
Q_DECLARE_LOGGING_CATEGORY(lcTelemetryChannel)
Q_DECLARE_LOGGING_CATEGORY(lcTelemetryCrashes)
