#include "HttpTestSupport.h"

#include <QLoggingCategory>
#include <QProcess>

namespace qrv::testing {

std::optional<QByteArray> gunzip(const QByteArray& data) {
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc")});
    gzip.write(data);
    gzip.closeWriteChannel();
    if (!gzip.waitForFinished(30000) || gzip.exitStatus() != QProcess::NormalExit ||
        gzip.exitCode() != 0)
        return std::nullopt;
    return gzip.readAllStandardOutput();
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
