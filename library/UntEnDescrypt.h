#pragma once
// The value cipher of the data files: single DES in 8-bit CFB, keyed from a built-in
// passphrase through SHA-1, stored as Base64. Files written by any installation must read
// back in any other, so the construction is fixed byte for byte.
#include <QByteArray>
#include <QString>

#include <nettle/des.h>

#include <cstdint>

class TEnDescrypt {
public:
    // Derives the key and opens the value store on FileName (full path of the INI file).
    explicit TEnDescrypt(const QString& FileName);
    ~TEnDescrypt();
    TEnDescrypt(const TEnDescrypt&) = delete;
    TEnDescrypt& operator=(const TEnDescrypt&) = delete;

    // Value = Default when the stored text is empty or missing, else the deciphered text.
    void ReadValue(const QString& Section, const QString& Key, QString& Value,
                   const QString& Default);
    // Raises FileError when the file refuses the write.
    void WriteValue(const QString& Section, const QString& Key, const QString& Value);

    // The text stored for Value and its inverse; each starts from the IV.
    QString Encipher(const QString& Value);
    QString Decipher(const QString& Stored);

private:
    void Reset();

    QString m_fileName;
    des_ctx m_des;
    uint8_t m_iv[DES_BLOCK_SIZE];
    uint8_t m_register[DES_BLOCK_SIZE];
};

// One enciphered access each; the cipher is released also when the access raises.
QString ReadEncryptedString(const QString& File, const QString& Section, const QString& Key,
                            const QString& Default);
void WriteEncryptedString(const QString& File, const QString& Section, const QString& Key,
                          const QString& Value);
