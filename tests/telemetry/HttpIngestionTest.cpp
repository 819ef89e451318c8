#include "HttpTestSupport.h"
#include "LoopbackHttpServer.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "telemetry/TLMServiceIngestion.h"

#include <gtest/gtest.h>

using namespace qrv;
using qrv::testing::waitUntil;

namespace {

const QString kSecret = "0d3e8f51-27a4-4c69-b1f0-9e6a5c2d7b38";
const QString kInstallId = "{5b1d0c6e-8a2f-4e73-9c14-27f0ad6b3e95}";

class ServiceIngestionTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.listen()); }

    TLMTelemetryConfig loopbackConfig() const { return {server.baseUrl(), kSecret, true}; }
    std::unique_ptr<TLMServiceIngestion> ingestion(const TLMTelemetryConfig& config) {
        return std::make_unique<TLMServiceIngestion>(client, config, kInstallId);
    }
    void send(TLMServiceIngestion& endpoint, const TLMIngestionBatch& sent) {
        endpoint.sendAsync(sent,
                           [this](const QByteArray&, const auto& response, const auto& error) {
                               statuses << (response ? response->statusCode : -1);
                               if (error)
                                   errors << *error;
                           });
    }

    qrv::testing::VirtualScheduler scheduler;
    std::shared_ptr<qrv::testing::FakeReachability> network =
        std::make_shared<qrv::testing::FakeReachability>();
    qrv::testing::LoopbackHttpServer server;
    std::shared_ptr<TLMHttpClient> client =
        TLMHttpClient::create(scheduler.createSerialQueue("telemetry.ChannelGroupQueue"), network);
    const TLMIngestionBatch batch{"batch-1", R"({"logs":[{"type":"appleError"}]})", 1, true};
    QList<int> statuses;
    QList<TLMHttpError> errors;
};

TEST_F(ServiceIngestionTest, PostsTheBatchWithItsHeadersAndKeepsTheSecretOutOfTheLogs) {
    qrv::testing::TelemetryLogCapture logs;
    auto endpoint = ingestion(loopbackConfig());
    ASSERT_TRUE(endpoint->isReadyToSend());
    send(*endpoint, batch);
    ASSERT_TRUE(waitUntil([&] { return !statuses.isEmpty(); }));
    EXPECT_EQ(statuses, QList<int>{200});

    ASSERT_EQ(server.requests().size(), 1);
    const auto& request = server.requests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/logs?api-version=1.0.0");
    EXPECT_EQ(request.headers.value("content-type"), "application/json");
    EXPECT_EQ(request.headers.value("install-id"), kInstallId.toUtf8());
    EXPECT_EQ(request.headers.value("app-secret"), kSecret.toUtf8());
    EXPECT_EQ(request.body, batch.json);

    EXPECT_TRUE(logs.text().contains("/logs?api-version=1.0.0")) << qPrintable(logs.text());
    EXPECT_TRUE(logs.text().contains("App-Secret = " + QString(32, u'*') + "7b38"))
        << qPrintable(logs.text());
    EXPECT_FALSE(logs.text().contains(kSecret));

    // Path and encoded query go after the base address's own path.
    TLMHttpIngestion underAPath(client, QUrl("https://example.com/v2/"), "/logs", {},
                                {{"api-version", "1.0.0"}, {"tag", "a&b c"}}, {10});
    EXPECT_EQ(underAPath.sendURL().toString(QUrl::FullyEncoded),
              "https://example.com/v2/logs?api-version=1.0.0&tag=a%26b%20c");
}

TEST_F(ServiceIngestionTest, RefusesAtOnceWhatItCannotSend) {
    auto endpoint = ingestion(loopbackConfig());
    send(*endpoint, TLMIngestionBatch{"empty", "{}", 0, true});
    send(*endpoint, TLMIngestionBatch{"broken", batch.json, 2, false});
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0].description, "Invalid log container.");
    EXPECT_EQ(errors[1].domain, "TelemetryErrorDomain");

    endpoint->setEnabled(false, false);
    send(*endpoint, batch);
    ASSERT_EQ(errors.size(), 3);
    EXPECT_EQ(errors[2].code, 3);
    EXPECT_EQ(errors[2].description, "The service is disabled.");

    endpoint->setEnabled(true, false);
    auto withoutSecret = ingestion({server.baseUrl(), "not-a-uuid", true});
    EXPECT_FALSE(withoutSecret->isReadyToSend());
    send(*withoutSecret, batch);
    EXPECT_EQ(errors.size(), 4);
    QCoreApplication::processEvents();
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(ServiceIngestionTest, SendsOnlyOverHttpsOutsideTestsOnLoopback) {
    EXPECT_TRUE(TLMTelemetryConfig::standard().checkedBaseUrl());
    EXPECT_EQ(TLMTelemetryConfig::standard().ingestionBaseUrl.scheme(), "https");
    EXPECT_TRUE(TLMTelemetryConfig::standard().hasValidAppSecret());
    EXPECT_TRUE(ingestion(TLMTelemetryConfig::standard())->isReadyToSend());

    const QUrl lan("http://192.168.1.20:8080");
    EXPECT_FALSE((TLMTelemetryConfig{lan, kSecret, true}.checkedBaseUrl()));
    EXPECT_FALSE((TLMTelemetryConfig{server.baseUrl(), kSecret, false}.checkedBaseUrl()));
    EXPECT_TRUE((TLMTelemetryConfig{QUrl("http://localhost:1"), kSecret, true}.checkedBaseUrl()));
    // Only this machine's own service skips waiting for the outside network.
    EXPECT_TRUE((TLMTelemetryConfig{server.baseUrl(), kSecret, true}.targetsLoopback()));
    EXPECT_TRUE((TLMTelemetryConfig{QUrl("https://[::1]:8443"), kSecret}.targetsLoopback()));
    EXPECT_FALSE((TLMTelemetryConfig{lan, kSecret, true}.targetsLoopback()));
    EXPECT_FALSE(TLMTelemetryConfig::standard().targetsLoopback());

    auto insecure = ingestion({lan, kSecret, true});
    EXPECT_FALSE(insecure->isReadyToSend());
    send(*insecure, batch);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].description.contains("only HTTPS")) << qPrintable(errors[0].description);
}

} // namespace
