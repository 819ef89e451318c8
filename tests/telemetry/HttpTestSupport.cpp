#include "HttpTestSupport.h"

#include <QLoggingCategory>
#include <zlib.h>

namespace qrv::testing {

std::optional<QByteArray> gunzip(const QByteArray& data) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    QByteArray output;
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        output.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return output;
}

namespace {

TelemetryLogCapture* g_capture = nullptr;
QtMessageHandler g_previousHandler = nullptr;
QLoggingCategory::CategoryFilter g_previousFilter = nullptr;

void enableTelemetryDebug(QLoggingCategory* category) {
    if (g_previousFilter)
        g_previousFilter(category);
    if (QByteArray(category->categoryName()).startsWith("qrv.telemetry"))
        category->setEnabled(QtDebugMsg, true);
}

} // namespace

TelemetryLogCapture::TelemetryLogCapture() {
    g_capture = this;
    g_previousHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (g_capture && QByteArray(context.category).startsWith("qrv.telemetry"))
                g_capture->m_messages << message;
            if (g_previousHandler)
                g_previousHandler(type, context, message);
        });
    g_previousFilter = QLoggingCategory::installFilter(enableTelemetryDebug);
}

TelemetryLogCapture::~TelemetryLogCapture() {
    QLoggingCategory::installFilter(g_previousFilter);
    qInstallMessageHandler(g_previousHandler);
    g_capture = nullptr;
}

} // namespace qrv::testing
