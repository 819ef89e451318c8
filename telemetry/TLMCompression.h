#pragma once

#include <QByteArray>
#include <optional>

namespace qrv {

// Gzip for upload bodies.
class TLMCompression {
  public:
    // The gzip form of the data; nothing for empty data or when zlib fails
    // (the failure is logged with zlib's meaning).
    static std::optional<QByteArray> compressData(const QByteArray& data);
};

} // namespace qrv
