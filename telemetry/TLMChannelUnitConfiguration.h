#pragma once

#include <QString>

namespace qrv {

// How one channel unit batches the logs of its group.
struct TLMChannelUnitConfiguration {
    // The interval a unit flushes at by default; also the longest one that
    // is not remembered across restarts.
    static constexpr unsigned kDefaultFlushInterval = 6;

    QString groupId; // also the store's group identifier
    int priority = 1;
    unsigned flushInterval = kDefaultFlushInterval; // seconds from the first unsent log to a flush
    unsigned batchSizeLimit = 50;                   // most logs in one batch
    unsigned pendingBatchesLimit = 3;               // most batches in flight

    // Priority 1, batches of 50, 3 in flight.
    static TLMChannelUnitConfiguration defaultConfiguration(const QString& groupId,
                                                            unsigned flushInterval);
};

} // namespace qrv
