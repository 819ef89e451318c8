#include "HttpTestSupport.h"
#include "LoopbackHttpServer.h"
#include "platform/qt/QtScheduler.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "telemetry/TLMCompression.h"
#include "telemetry/TLMHttpClient.h"
#include "telemetry/TLMHttpUtil.h"

#include <QNetworkReply>
#include <QRandomGenerator>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace qrv;
using namespace std::chrono_literals;
using qrv::testing::LoopbackHttpServer;
using qrv::testing::waitUntil;

namespace {

const QList<int> kIntervals{10, 300, 1200};

LoopbackHttpServer::Response answer(int status, QByteArray retryAfterMs = {}) {
    LoopbackHttpServer::Response response{status, {}, {}};
    if (!retryAfterMs.isNull())
        response.headers << std::pair<QByteArray, QByteArray>("x-retry-after-ms", retryAfterMs);
    return response;
}

class HttpClientTest : public ::testing::Test {
  protected:
    struct Outcome {
        QByteArray data;
        std::optional<TLMHttpResponse> response;
        std::optional<TLMHttpError> error;
        int status() const { return response ? response->statusCode : -1; }
    };

    void SetUp() override { ASSERT_TRUE(server.listen()); }

    void send(const QByteArray& body = "{}") {
        client->sendAsync(server.baseUrl().resolved(QUrl("/logs")), "POST", {}, body, kIntervals,
                          true,
                          [this](const QByteArray& data, const auto& response, const auto& error) {
                              outcomes << Outcome{data, response, error};
                          });
    }
    std::shared_ptr<const TLMHttpCall> call(int index = 0) const {
        return client->pendingCalls().value(index);
    }
    // True once the only pending call has had its answer and waits for its retry.
    bool waitForRetryTimer() {
        return waitUntil([&] { return call() && call()->isWaitingForRetry(); });
    }
    bool waitForRequests(qsizetype count) {
        return waitUntil([&] { return server.requests().size() >= count; });
    }
    bool waitForOutcomes(qsizetype count) {
        return waitUntil([&] { return outcomes.size() >= count; });
    }

    qrv::testing::VirtualScheduler scheduler;
    std::shared_ptr<SerialQueue> queue = scheduler.createSerialQueue("telemetry.ChannelGroupQueue");
    std::shared_ptr<qrv::testing::FakeReachability> network =
        std::make_shared<qrv::testing::FakeReachability>();
    LoopbackHttpServer server;
    std::shared_ptr<TLMHttpClient> client = TLMHttpClient::create(queue, network);
    QList<Outcome> outcomes;
};

TEST_F(HttpClientTest, CompressesBodiesFrom1400Bytes) {
    const QByteArray small(1399, 'a'), large(1400, 'b');
    send(small);
    ASSERT_TRUE(waitForOutcomes(1));
    send(large);
    ASSERT_TRUE(waitForOutcomes(2));

    const auto& plain = server.requests().at(0);
    EXPECT_EQ(plain.method, "POST");
    EXPECT_EQ(plain.target, "/logs");
    EXPECT_EQ(plain.headers.value("content-type"), "application/json");
    EXPECT_FALSE(plain.headers.contains("content-encoding"));
    EXPECT_EQ(plain.body, small);

    const auto& gzipped = server.requests().at(1);
    EXPECT_EQ(gzipped.headers.value("content-encoding"), "gzip");
    EXPECT_EQ(gzipped.headers.value("content-type"), "application/json");
    EXPECT_EQ(qrv::testing::gunzip(gzipped.body), large);
    EXPECT_EQ(outcomes.at(1).status(), 200);
}

TEST_F(HttpClientTest, RetriesAServerFailureWithinTheFirstIntervalOrWhenTheServerAsks) {
    server.respondWith(answer(503));
    server.respondWith(answer(429, "2500"));
    send();
    ASSERT_TRUE(waitForRetryTimer());
    EXPECT_EQ(call()->retryCount(), 1);
    // Between half and all of the first interval.
    scheduler.advance(4999ms);
    EXPECT_FALSE(call()->isInProgress());
    scheduler.advance(5001ms);
    EXPECT_TRUE(call()->isInProgress());

    ASSERT_TRUE(waitForRetryTimer());
    scheduler.advance(2499ms);
    EXPECT_FALSE(call()->isInProgress());
    scheduler.advance(1ms);
    EXPECT_TRUE(call()->isInProgress());
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(outcomes.at(0).status(), 200);
    EXPECT_FALSE(outcomes.at(0).error);
    EXPECT_EQ(server.requests().size(), 3);
    EXPECT_TRUE(client->pendingCalls().isEmpty());
}

TEST_F(HttpClientTest, UsedUpRetriesPauseTheClientUntilTheNetworkComesBack) {
    for (int i = 0; i < 4; ++i)
        server.respondWith(answer(i % 2 ? 500 : 408));
    send();
    for (int interval : kIntervals) {
        ASSERT_TRUE(waitForRetryTimer());
        scheduler.advance(std::chrono::seconds(interval));
    }
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(server.requests().size(), 4);
    EXPECT_EQ(outcomes.at(0).status(), 500);
    EXPECT_FALSE(outcomes.at(0).error);
    EXPECT_TRUE(client->isPaused());

    // A paused client keeps new calls without sending them.
    send("second");
    scheduler.advance(1h);
    QCoreApplication::processEvents();
    ASSERT_EQ(client->pendingCalls().size(), 1);
    EXPECT_FALSE(call()->isInProgress());
    EXPECT_EQ(server.requests().size(), 4);

    network->set(false);
    network->set(true);
    EXPECT_FALSE(client->isPaused());
    ASSERT_TRUE(waitForOutcomes(2));
    EXPECT_EQ(outcomes.at(1).status(), 200);
    EXPECT_EQ(server.requests().at(4).body, "second");
}

TEST_F(HttpClientTest, AFinalAnswerEndsTheCallOnceWithoutRetrying) {
    server.respondWith({400, {}, "bad batch"});
    send();
    ASSERT_TRUE(waitForOutcomes(1));
    EXPECT_EQ(outcomes.at(0).status(), 400);
    EXPECT_EQ(outcomes.at(0).data, "bad batch");
    EXPECT_FALSE(outcomes.at(0).error);

    scheduler.advance(1h);
    QCoreApplication::processEvents();
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(outcomes.size(), 1);
    EXPECT_FALSE(client->isPaused());
}

TEST_F(HttpClientTest, ARefusingServerIsRetriedAfterTheIntervalsAndThenFails) {
    server.respondWith(answer(503));
    send();
    ASSERT_TRUE(waitForRetryTimer());
    server.close(); // from now on the connection is refused
    scheduler.advance(10s);
    for (int interval : kIntervals.mid(1)) {
        ASSERT_TRUE(waitForRetryTimer()) << "no retry before the " << interval << " s interval";
        EXPECT_TRUE(outcomes.isEmpty());
        scheduler.advance(std::chrono::seconds(interval));
    }
    ASSERT_TRUE(waitForOutcomes(1));
    ASSERT_TRUE(outcomes.at(0).error);
    EXPECT_EQ(outcomes.at(0).error->code, QNetworkReply::ConnectionRefusedError);
    EXPECT_FALSE(outcomes.at(0).response);
    EXPECT_TRUE(client->pendingCalls().isEmpty());
    EXPECT_TRUE(client->isPaused());
}

TEST_F(HttpClientTest, ATlsFailureKeepsTheCallWaiting) {
    client->sendAsync(QUrl(QStringLiteral("https://127.0.0.1:%1/logs").arg(server.port())), "POST",
                      {}, "{}", kIntervals, true, [this](auto&&...) { outcomes << Outcome{}; });
    ASSERT_TRUE(waitUntil([&] { return call() && !call()->isInProgress(); }));
    EXPECT_TRUE(outcomes.isEmpty());
    EXPECT_EQ(client->pendingCalls().size(), 1);
}

TEST_F(HttpClientTest, DisablingWithDeletionEndsEveryPendingCallOnce) {
    send("in flight");
    network->set(false);
    send("waiting");
    ASSERT_EQ(client->pendingCalls().size(), 2);
    EXPECT_TRUE(call(0)->isInProgress());

    client->setEnabled(false, true);
    ASSERT_EQ(outcomes.size(), 2);
    for (const auto& outcome : std::as_const(outcomes)) {
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->domain, "TelemetryErrorDomain");
        EXPECT_EQ(outcome.error->code, 100);
    }
    EXPECT_TRUE(client->pendingCalls().isEmpty());

    send();
    ASSERT_EQ(outcomes.size(), 3);
    EXPECT_EQ(outcomes.at(2).error->code, 3);
    EXPECT_EQ(outcomes.at(2).error->description, "The service is disabled.");

    QCoreApplication::processEvents(); // the cancelled request's completion must change nothing
    EXPECT_EQ(outcomes.size(), 3);

    network->set(true);
    client->setEnabled(true, false);
    send("again");
    ASSERT_TRUE(waitForOutcomes(4));
    EXPECT_EQ(outcomes.at(3).status(), 200);
    // The cancelled request may still have reached the server, in any order.
    EXPECT_TRUE(std::any_of(server.requests().cbegin(), server.requests().cend(),
                            [](const auto& request) { return request.body == "again"; }));
}

TEST_F(HttpClientTest, KeepsToTheConnectionLimitPerHost) {
    client = TLMHttpClient::create(queue, network, 1);
    send("one");
    send("two");
    EXPECT_TRUE(call(0)->isInProgress());
    EXPECT_FALSE(call(1)->isInProgress());
    ASSERT_TRUE(waitForOutcomes(2));
    EXPECT_EQ(server.requests().at(0).body, "one");
    EXPECT_EQ(server.requests().at(1).body, "two");
}

TEST(TLMHttpClientOnItsOwnThread, SendsFromAnyThreadAndCompletesOnTheQueue) {
    LoopbackHttpServer server; // answers on this thread's event loop
    ASSERT_TRUE(server.listen());
    QtScheduler scheduler;
    auto queue = scheduler.createSerialQueue("telemetry.ChannelGroupQueue");
    auto client = TLMHttpClient::create(queue, std::make_shared<qrv::testing::FakeReachability>());
    std::atomic<int> status{-1};
    std::atomic<QThread*> completedOn{nullptr};
    client->sendAsync(server.baseUrl(), "POST", {}, QByteArray(2000, 'x'), kIntervals, true,
                      [&](const QByteArray&, const auto& response, const auto&) {
                          completedOn = QThread::currentThread();
                          status = response ? response->statusCode : 0;
                      });
    ASSERT_TRUE(waitUntil([&] { return status != -1; }));
    EXPECT_EQ(status, 200);
    EXPECT_EQ(completedOn, queue->thread());
}

TEST(TLMHttpUtil, ClassifiesAnswersAtTheirBoundariesAndHidesAllButTheTailOfASecret) {
    for (int status : {0, 408, 429, 500, 503, 599})
        EXPECT_TRUE(TLMHttpUtil::isRecoverableError(status)) << status;
    for (int status : {200, 400, 404, 407, 409, 428, 499})
        EXPECT_FALSE(TLMHttpUtil::isRecoverableError(status)) << status;
    for (int status : {199, 200, 299, 300})
        EXPECT_EQ(TLMHttpUtil::isSuccessStatusCode(status), status / 100 == 2) << status;

    const TLMHttpError refused{kTLMNetworkErrorDomain, QNetworkReply::ConnectionRefusedError, {}};
    EXPECT_FALSE(TLMHttpUtil::isNoInternetConnectionError(refused));
    EXPECT_TRUE(TLMHttpUtil::isServerUnavailableError(refused));
    EXPECT_TRUE(TLMHttpUtil::isServerUnavailableError(
        {kTLMNetworkErrorDomain, QNetworkReply::TimeoutError, {}}));
    const TLMHttpError unknownHost{kTLMNetworkErrorDomain, QNetworkReply::HostNotFoundError, {}};
    EXPECT_TRUE(TLMHttpUtil::isNoInternetConnectionError(unknownHost));
    EXPECT_FALSE(TLMHttpUtil::isServerUnavailableError(unknownHost));
    EXPECT_FALSE(TLMHttpUtil::isNoInternetConnectionError(
        {kTLMErrorDomain, QNetworkReply::ConnectionRefusedError, {}}));

    // The tail alone; a secret too short to have one is hidden whole.
    EXPECT_EQ(TLMHttpUtil::hideSecret("short"), "*****");
}

TEST(TLMCompression, GzipsWhatEverItIsGivenAndNothingForNothing) {
    QByteArray json = "{\"logs\":[";
    for (int i = 0; i < 200; ++i)
        json += QByteArray(i ? "," : "") + R"({"type":"managedError","id":")" +
                QByteArray::number(i) + R"(","timestamp":"2025-01-01T12:00:00Z"})";
    json += "]}";
    const auto compressed = TLMCompression::compressData(json);
    ASSERT_TRUE(compressed);
    EXPECT_TRUE(compressed->startsWith("\x1f\x8b")); // gzip wrapper, not zlib's
    EXPECT_LT(compressed->size(), json.size() / 4);
    EXPECT_EQ(qrv::testing::gunzip(*compressed), json);

    // Data that does not shrink still comes out whole.
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    EXPECT_EQ(qrv::testing::gunzip(TLMCompression::compressData(noise).value()), noise);

    EXPECT_FALSE(TLMCompression::compressData({}));
    EXPECT_FALSE(TLMCompression::compressData(QByteArray("")));
}

} // namespace
