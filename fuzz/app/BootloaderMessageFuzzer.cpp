#include "app/BootloaderChannel.h"
#include "link/CCOMSEARCH.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any byte stream from the bootloader socket, arriving in pieces of any size: only whole messages
// of the right number reach the handler, each exactly once, whatever the cuts.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t piece = data[0] % 16 + 1;
    const QByteArray stream(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    int expected = 0;
    for (qsizetype at = 0; at + BootloaderChannel::MESSAGE_SIZE <= stream.size(); at += BootloaderChannel::MESSAGE_SIZE)
        expected += stream.mid(at, 4) == BootloaderChannel::Encode(BOOTLOADER_MESSAGE, 0, 0).left(4);

    int handled = 0;
    QByteArray arrived;
    QBuffer buffer(&arrived);
    buffer.open(QIODevice::ReadWrite);
    for (size_t at = 0; at < static_cast<size_t>(stream.size()); at += piece) {
        const qint64 readPos = buffer.pos();
        buffer.seek(arrived.size());
        buffer.write(stream.mid(static_cast<qsizetype>(at), static_cast<qsizetype>(piece)));
        buffer.seek(readPos);
        BootloaderChannel::TakeMessages(buffer, [&](int, uint32_t) { ++handled; });
    }
    if (handled != expected || buffer.bytesAvailable() >= BootloaderChannel::MESSAGE_SIZE)
        std::abort();
    return 0;
}
