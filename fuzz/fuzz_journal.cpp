// The journal lives in the user's state directory, where another program, a full disk or a crash can
// leave anything. The first byte picks the reader (a run, or the list of its entries not made), the
// rest is the file. Whatever it holds, reading ends, never holds more entries than the bytes could
// encode, and allocates in proportion to the bytes.
#include "cli/Journal.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (data[0] % 2 == 0) {
        if (corvane::Journal::readNotMade(buffer).size() > bytes.size() / 8)
            std::abort();
        return 0;
    }
    corvane::JournalReader reader;
    QString error;
    if (!reader.open(&buffer, &error))
        return 0;
    qsizetype entries = 0;
    // An entry takes at least its flags and four lengths.
    while (reader.next()) {
        if (++entries > bytes.size() / 17)
            std::abort();
    }
    return 0;
}
