#include "telemetry/TLMLogging.h"

Q_LOGGING_CATEGORY(lcTelemetry, "qrv.telemetry")
Q_LOGGING_CATEGORY(lcTelemetryStorage, "qrv.telemetry.storage")
