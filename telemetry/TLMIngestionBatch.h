#pragma once

#include <QByteArray>
#include <QString>

namespace qrv {

// What an endpoint needs of a batch of logs: its identifier, whether its logs
// passed their own checks, and the log container in its JSON form. The
// channel fills it from the logs it loaded.
struct TLMIngestionBatch {
    QString batchId;
    QByteArray json;
    int logCount = 0;
    bool logsValid = true;

    // At least one log, every one of them valid, and something to send.
    bool isValid() const { return logCount > 0 && logsValid && !json.isEmpty(); }
};

} // namespace qrv
