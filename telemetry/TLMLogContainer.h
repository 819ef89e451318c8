#pragma once

#include "telemetry/TLMAbstractLog.h"
#include "telemetry/TLMIngestionBatch.h"

#include <QList>

namespace qrv {

// One batch of logs as it travels to the service. Its JSON body is
// {"batchId": "<uuid>", "logs": [<each log's JSON form>, ...]}.
struct TLMLogContainer {
    QString batchId;
    QList<TLMLogPtr> logs;

    // At least one log, and every log valid by its own test.
    bool isValid() const;
    QJsonObject toJson() const;
    // What the endpoint sends: the identifier, the checks and the JSON bytes.
    TLMIngestionBatch ingestionBatch() const;
};

} // namespace qrv
