#pragma once

#include <QLoggingCategory>

// Requests, answers, retries and pauses of the telemetry upload.
Q_DECLARE_LOGGING_CATEGORY(lcTelemetryHttp)
