#pragma once

#include <QByteArray>
#include <QString>

namespace qrv {

// Encrypts short secrets (target tokens) for storage: AES-256-GCM with a
// random key kept in our user defaults, so a copied database alone does not
// reveal them. The text form is Base64 of: version byte 1, 12-byte nonce,
// cipher text, 16-byte tag.
class TLMEncrypter {
  public:
    static inline const QString kKeyDefaultsKey = QStringLiteral("TelemetryEncryptionKey");

    // Null when encryption failed.
    QString encryptString(const QString& plainText);
    // Null when the text was not made with our key or was altered.
    QString decryptString(const QString& cipherText);

  private:
    const QByteArray& key();

    QByteArray m_key;
};

} // namespace qrv
