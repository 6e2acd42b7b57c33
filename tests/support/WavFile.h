#pragma once
// A short silent WAV file, for playback tests and benchmarks that need a real file.
#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

// 8 kHz mono 16-bit PCM silence of the given length.
inline QByteArray SilentWav(int milliseconds)
{
    const quint32 samples = quint32(milliseconds) * 8, dataBytes = samples * 2;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    bytes.append(QByteArray(int(dataBytes), '\0'));
    return bytes;
}
