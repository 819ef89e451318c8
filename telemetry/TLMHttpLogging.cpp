#include "telemetry/TLMHttpLogging.h"

Q_LOGGING_CATEGORY(lcTelemetryHttp, "qrv.telemetry.http")
