#include "telemetry/TLMEncrypter.h"

#include "platform/UserDefaults.h"
#include "telemetry/TLMLogging.h"

#include <memory>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace qrv {

namespace {

constexpr char kFormatVersion = 1;
constexpr int kKeySize = 32;
constexpr int kNonceSize = 12;
constexpr int kTagSize = 16;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

CipherContext newContext() {
    return {EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free};
}

auto* bytes(QByteArray& data) {
    return reinterpret_cast<unsigned char*>(data.data());
}
auto* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

QByteArray randomBytes(int count) {
    QByteArray data(count, '\0');
    if (RAND_bytes(bytes(data), count) != 1)
        return {};
    return data;
}

} // namespace

TLMEncrypter TLMEncrypter::withKeyIn(UserDefaults& defaults) {
    const QByteArray stored =
        QByteArray::fromBase64(defaults.stringForKey(kKeyDefaultsKey).toLatin1());
    if (stored.size() == kKeySize)
        return TLMEncrypter(stored);
    if (!stored.isEmpty())
        qCWarning(lcTelemetry) << "The stored encryption key is damaged; a new one is made.";
    TLMEncrypter made = withNewKey();
    if (!made.m_key.isEmpty())
        defaults.setObject(kKeyDefaultsKey, QString::fromLatin1(made.m_key.toBase64()));
    return made;
}

TLMEncrypter TLMEncrypter::withNewKey() {
    QByteArray key = randomBytes(kKeySize);
    if (key.isEmpty())
        qCWarning(lcTelemetry) << "No random key could be made: secrets cannot be stored.";
    return TLMEncrypter(std::move(key));
}

QString TLMEncrypter::encryptString(const QString& plainText) {
    const QByteArray& secret = m_key;
    const QByteArray nonce = randomBytes(kNonceSize);
    CipherContext context = newContext();
    if (secret.size() != kKeySize || nonce.isEmpty() || !context)
        return {};
    const QByteArray plain = plainText.toUtf8();
    QByteArray cipher(plain.size() + kTagSize, '\0');
    int length = 0;
    int finalLength = 0;
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, bytes(secret),
                           bytes(nonce)) != 1 ||
        EVP_EncryptUpdate(context.get(), bytes(cipher), &length, bytes(plain), int(plain.size())) !=
            1 ||
        EVP_EncryptFinal_ex(context.get(), bytes(cipher) + length, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kTagSize,
                            bytes(cipher) + length + finalLength) != 1) {
        qCWarning(lcTelemetry) << "Could not encrypt a secret.";
        return {};
    }
    cipher.resize(length + finalLength + kTagSize);
    return QString::fromLatin1((QByteArray(1, kFormatVersion) + nonce + cipher).toBase64());
}

QString TLMEncrypter::decryptString(const QString& cipherText) {
    const auto decoding = QByteArray::fromBase64Encoding(cipherText.toLatin1(),
                                                         QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray& decoded = decoding.decoded;
    const QByteArray& secret = m_key;
    if (!decoding || decoded.size() < 1 + kNonceSize + kTagSize ||
        decoded.at(0) != kFormatVersion || secret.size() != kKeySize)
        return {};
    const QByteArray nonce = decoded.mid(1, kNonceSize);
    const QByteArray cipher =
        decoded.mid(1 + kNonceSize, decoded.size() - 1 - kNonceSize - kTagSize);
    QByteArray tag = decoded.right(kTagSize);
    QByteArray plain(cipher.size(), '\0');
    int length = 0;
    int finalLength = 0;
    CipherContext context = newContext();
    if (!context ||
        EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, bytes(secret),
                           bytes(nonce)) != 1 ||
        EVP_DecryptUpdate(context.get(), bytes(plain), &length, bytes(cipher),
                          int(cipher.size())) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, bytes(tag)) != 1 ||
        EVP_DecryptFinal_ex(context.get(), bytes(plain) + length, &finalLength) != 1)
        return {};
    plain.resize(length + finalLength);
    return QString::fromUtf8(plain);
}

} // namespace qrv
