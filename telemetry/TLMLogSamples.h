#pragma once

#include "telemetry/TLMCrashReportLog.h"

#include <memory>

namespace qrv {

// Made-up logs for the diagnostics tool, benchmarks and tests.
struct TLMLogSamples {
    // A valid crash report of this process, dated now.
    static std::shared_ptr<TLMCrashReportLog> crashReport();
    // Pads the stack trace so that the log's stored (encoded) form has the
    // given length (rounded to Base64's multiple of 4); a log already as long
    // is left alone.
    static void padToEncodedSize(TLMCrashReportLog& log, qint64 encodedSize);
};

} // namespace qrv
