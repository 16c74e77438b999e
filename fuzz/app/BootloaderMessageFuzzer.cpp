#include "app/BootloaderChannel.h"
#include "link/UnitSearch.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

uint32_t Word(const QByteArray& bytes, qsizetype at)
{
    uint32_t w = 0;
    for (int i = 3; i >= 0; --i)
        w = w << 8 | static_cast<uint8_t>(bytes[at + i]);
    return w;
}

struct Counts {
    int bootloader = 0;
    int files = 0;
    bool cutOff = false;
    qsizetype left = 0;
};

// The stream read at once, message by message, as the protocol defines it.
Counts Expected(const QByteArray& stream)
{
    constexpr qsizetype HEADER = BootloaderChannel::MESSAGE_SIZE;
    Counts c;
    qsizetype at = 0;
    while (at + HEADER <= stream.size()) {
        const uint32_t number = Word(stream, at);
        if (number == static_cast<uint32_t>(BootloaderChannel::OPEN_FILE_MESSAGE)) {
            const uint32_t length = Word(stream, at + 4);
            if (length == 0 || length > static_cast<uint32_t>(BootloaderChannel::MAX_PATH_BYTES)) {
                c.cutOff = true;
                break;
            }
            if (at + HEADER + static_cast<qsizetype>(length) > stream.size())
                break;
            ++c.files;
            at += HEADER + static_cast<qsizetype>(length);
            continue;
        }
        c.bootloader += number == static_cast<uint32_t>(BOOTLOADER_MESSAGE);
        at += HEADER;
    }
    c.left = stream.size() - at;
    return c;
}

} // namespace

// Any byte stream from the bootloader socket, arriving in pieces of any size: the messages reach
// their handlers exactly as when the stream is read at once, whatever the cuts, and a writer
// announcing an unbounded path is cut off.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype piece = data[0] % 16 + 1;
    const QByteArray stream(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const Counts expected = Expected(stream);

    Counts got;
    QByteArray pending;
    for (qsizetype at = 0; at < stream.size() && !got.cutOff; at += piece) {
        pending += stream.mid(at, piece);
        got.cutOff = !BootloaderChannel::TakeMessages(
            pending, [&](int, uint32_t) { ++got.bootloader; }, [&](const QByteArray&, const QString&) { ++got.files; });
    }
    got.left = pending.size();
    if (got.bootloader != expected.bootloader || got.files != expected.files || got.cutOff != expected.cutOff)
        std::abort();
    if (!expected.cutOff && got.left != expected.left)
        std::abort();
    return 0;
}
