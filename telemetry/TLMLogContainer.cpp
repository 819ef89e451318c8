#include "telemetry/TLMLogContainer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace qrv {

bool TLMLogContainer::isValid() const {
    return !logs.isEmpty() && std::all_of(logs.cbegin(), logs.cend(), [](const TLMLogPtr& log) {
        return log && log->isValid();
    });
}

QJsonObject TLMLogContainer::toJson() const {
    QJsonArray array;
    for (const TLMLogPtr& log : logs)
        if (log)
            array.append(log->toJson());
    QJsonObject json;
    json.insert(QStringLiteral("batchId"), batchId);
    json.insert(QStringLiteral("logs"), array);
    return json;
}

TLMIngestionBatch TLMLogContainer::ingestionBatch() const {
    return TLMIngestionBatch{batchId, QJsonDocument(toJson()).toJson(QJsonDocument::Compact),
                             int(logs.size()), isValid()};
}

} // namespace qrv
