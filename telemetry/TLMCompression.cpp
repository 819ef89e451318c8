#include "telemetry/TLMCompression.h"

#include "telemetry/TLMHttpLogging.h"

#include <limits>
#include <zlib.h>

namespace qrv {
namespace {

constexpr int kGzipWindowBits = 15 + 16; // 15-bit window plus the gzip wrapper
constexpr int kMemoryLevel = 8;

const char* zlibMeaning(int status) {
    switch (status) {
    case Z_VERSION_ERROR:
        return "Version of zlib.h & libz library do not match!";
    case Z_MEM_ERROR:
        return "Not enough memory.";
    case Z_STREAM_ERROR:
        return "Invalid parameter passed in to function.";
    case Z_DATA_ERROR:
        return "Inconsistent stream state.";
    case Z_BUF_ERROR:
        return "No progress is possible.";
    default:
        return "Unknown error!";
    }
}

std::nullopt_t failed(int status) {
    qCWarning(lcTelemetryHttp, "Compression failed: %s", zlibMeaning(status));
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> TLMCompression::compressData(const QByteArray& data) {
    if (data.isEmpty())
        return std::nullopt;
    if (quint64(data.size()) > std::numeric_limits<uInt>::max())
        return failed(Z_STREAM_ERROR);

    z_stream stream{};
    int status = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits,
                              kMemoryLevel, Z_DEFAULT_STRATEGY);
    if (status != Z_OK)
        return failed(status);

    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    // The bound is enough for one pass; growing stays for the odd case it is not.
    QByteArray output(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    do {
        if (stream.total_out >= uLong(output.size()))
            output.resize(output.size() * 2);
        stream.next_out = reinterpret_cast<Bytef*>(output.data()) + stream.total_out;
        stream.avail_out = uInt(output.size() - qsizetype(stream.total_out));
        status = deflate(&stream, Z_FINISH);
    } while (status == Z_OK || (status == Z_BUF_ERROR && stream.avail_out == 0));
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        return failed(status);
    output.truncate(qsizetype(stream.total_out));
    return output;
}

} // namespace qrv
