#include "telemetry/TLMLogging.h"

Q_LOGGING_CATEGORY(lcTelemetry, "qrv.telemetry")
Q_LOGGING_CATEGORY(lcTelemetryStorage, "qrv.telemetry.storage")
Q_LOGGING_CATEGORY(lcTelemetryChannel, "qrv.telemetry.channel")
Q_LOGGING_CATEGORY(lcTelemetryCrashes, "qrv.telemetry.crashes")
