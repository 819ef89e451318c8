#pragma once

#include <QByteArray>
#include <QString>

namespace qrv {

class UserDefaults;

// Encrypts short secrets (target tokens) for storage: AES-256-GCM with a
// random key kept in our user defaults, so a copied database alone does not
// reveal them. The text form is Base64 of: version byte 1, 12-byte nonce,
// cipher text, 16-byte tag.
class TLMEncrypter {
  public:
    static inline const QString kKeyDefaultsKey = QStringLiteral("TelemetryEncryptionKey");

    // With the key kept in the user defaults, made and kept there when there
    // is none (or a damaged one). Reads and writes the defaults only here.
    static TLMEncrypter withKeyIn(UserDefaults& defaults);
    // With a new random key that is kept nowhere: what it encrypts can be
    // read by this object alone (tests, a store that keeps no secrets).
    static TLMEncrypter withNewKey();

    // Null when encryption failed.
    QString encryptString(const QString& plainText);
    // Null when the text was not made with our key or was altered.
    QString decryptString(const QString& cipherText);

  private:
    explicit TLMEncrypter(QByteArray key)
        : m_key(std::move(key)) {}

    QByteArray m_key; // empty when no key could be made: nothing is encrypted
};

} // namespace qrv
