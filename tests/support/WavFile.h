#pragma once
// A short silent WAV file, for playback tests and benchmarks that need a real file.
#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

// 8 kHz mono 16-bit PCM of the given length: silence, or a 1 kHz square wave of the given
// peak, whose every window of a few samples shows the gain it met.
inline QByteArray SilentWav(int milliseconds, qint16 peak = 0)
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
    for (quint32 i = 0; i < samples; ++i)
        out << qint16((i / 4) % 2 ? -peak : peak);
    return bytes;
}
