#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace qrv {

class Scheduler;

namespace exchange {

// Whether a symbolic link is followed: a file the user opens may be one, a
// file in the edit-request folder is only ever removed.
enum class Links { Follow, Refuse };

// The whole content of a regular file of at most kMaxFileSize bytes. A FIFO,
// device or folder is refused without reading (and without waiting for a
// writer that never comes).
Result<QByteArray> readExchangeBytes(const QString& path, Links links);

// The file's top-level JSON object.
Result<QJsonObject> readExchangeFile(const QString& path, Links links);

// The same on the global queue; `done` runs on the main thread. Files can be
// slow (a network folder) and large, and the main thread never waits for one.
void readExchangeFileInBackground(Scheduler& scheduler, const QString& path, Links links,
                                  std::function<void(Result<QJsonObject>)> done);

} // namespace exchange
} // namespace qrv
