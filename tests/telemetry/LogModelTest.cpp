#include "support/QtPrinters.h"
#include "telemetry/TLMEncrypter.h"
#include "telemetry/TLMErrorAttachmentLog.h"
#include "telemetry/TLMLogArchiver.h"
#include "telemetry/TLMLogSamples.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QByteArray archived(const QByteArray& logJson, int version = 1) {
    return QStringLiteral("{\"archiveVersion\":%1,\"log\":%2}")
        .arg(version)
        .arg(QString::fromUtf8(logJson))
        .toUtf8();
}

TEST(LogArchive, ACrashReportSurvivesTheStoredFormExceptItsTargetTokens) {
    auto log = TLMLogSamples::crashReport();
    log->dataResidencyRegion = "eu";
    log->stackTrace = "0 quorvane main\n1 libc start";
    log->fatal = false;
    log->transmissionTargetTokens = {"key-secret"};
    ASSERT_TRUE(log->isValid());

    const QString encoded = TLMLogArchiver::encode(*log);
    EXPECT_FALSE(encoded.contains('\n'));
    EXPECT_FALSE(QByteArray::fromBase64(encoded.toLatin1()).contains("secret"));
    const TLMLogPtr decoded = TLMLogArchiver::decode(encoded);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->type(), "crashReport");
    EXPECT_EQ(decoded->toJson(), log->toJson());
    EXPECT_EQ(decoded->timestamp, log->timestamp);
    EXPECT_EQ(decoded->device, log->device);
    EXPECT_TRUE(decoded->isValid());
    EXPECT_TRUE(decoded->transmissionTargetTokens.isEmpty());
}

TEST(LogArchive, AnAttachmentKeepsItsBytesAndALongLogKeepsItsEndOnACharacterBoundary) {
    const auto crash = TLMLogSamples::crashReport();
    auto attachment = TLMErrorAttachmentLog::attachmentWithText(u"caf\u00e9\n"_qs, "log.txt");
    attachment->errorId = crash->errorId;
    attachment->timestamp = crash->timestamp;
    attachment->device = crash->device;
    ASSERT_TRUE(attachment->isValid());
    const TLMLogPtr decoded = TLMLogArchiver::decode(TLMLogArchiver::encode(*attachment));
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->toJson(), attachment->toJson());
    EXPECT_EQ(std::static_pointer_cast<TLMErrorAttachmentLog>(decoded)->data, "caf\xc3\xa9\n");
    // Data that is not Base64 is not read as something else.
    QJsonObject forged = attachment->toJson();
    forged["data"] = "not base64!";
    EXPECT_EQ(TLMLogArchiver::unarchive(archived(QJsonDocument(forged).toJson())), nullptr);

    // "é" is two bytes; the cut would fall between them.
    const QString text = u"\u00e9"_qs + QString(TLMErrorAttachmentLog::kMaximumDataBytes - 1, 'x');
    const QByteArray cut = TLMErrorAttachmentLog::attachmentWithText(text, "log.txt")->data;
    EXPECT_EQ(cut.size(), TLMErrorAttachmentLog::kMaximumDataBytes - 1);
    EXPECT_EQ(cut, QByteArray(TLMErrorAttachmentLog::kMaximumDataBytes - 1, 'x'));
}

TEST(LogArchive, RefusesWhatItCannotReadFaithfully) {
    const QByteArray good = QJsonDocument(TLMLogSamples::crashReport()->toJson()).toJson();
    EXPECT_NE(TLMLogArchiver::unarchive(archived(good)), nullptr);
    EXPECT_EQ(TLMLogArchiver::unarchive(archived(good, 2)), nullptr); // a later program's form
    for (const char* log :
         {R"({"type":"startService"})", R"({"type":"crashReport","processId":"12"})",
          R"({"type":"crashReport","timestamp":"soon"})", R"({"type":"crashReport","device":[]})"})
        EXPECT_EQ(TLMLogArchiver::unarchive(archived(log)), nullptr) << log;
    EXPECT_EQ(TLMLogArchiver::unarchive("{\"archiveVersion\":1,"), nullptr);
    EXPECT_EQ(TLMLogArchiver::decode("%%%"), nullptr);

    // Readable but incomplete: kept, and its own test says it is not valid.
    const TLMLogPtr bare = TLMLogArchiver::unarchive(archived(R"({"type":"crashReport"})"));
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(bare->isValid());
}

TEST(Encrypter, RoundTripsAndRejectsAlteredOrForeignText) {
    TLMEncrypter encrypter = TLMEncrypter::withNewKey();
    const QString cipher = encrypter.encryptString("key-söme secret");
    ASSERT_FALSE(cipher.isEmpty());
    EXPECT_NE(encrypter.encryptString("key-söme secret"), cipher); // a new nonce each time
    EXPECT_EQ(encrypter.decryptString(cipher), "key-söme secret");

    QByteArray raw = QByteArray::fromBase64(cipher.toLatin1());
    raw[20] = char(raw[20] ^ 1);
    EXPECT_TRUE(encrypter.decryptString(QString::fromLatin1(raw.toBase64())).isNull());
    EXPECT_TRUE(encrypter.decryptString("bm90IG91cnM=").isNull());
    EXPECT_TRUE(TLMEncrypter::withNewKey().decryptString(cipher).isNull()); // another key
}

} // namespace
