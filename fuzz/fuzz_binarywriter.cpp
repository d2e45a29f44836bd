// Whatever the reader makes of arbitrary bytes, the binary writer writes it so that it reads back as the
// same value, bit for bit, and writing that again gives the same bytes.
#include "RoundTrip.h"
#include "plist/PlistWriter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace corvane;
    const std::optional<plist::Value> value = fuzz::read(data, size);
    if (!value)
        return 0;
    const QByteArray written = plist::writeBinary(*value);
    // References may be narrower than the input's, so a tree near the reader's node limit for the input
    // can be over it for the smaller output; that is the reader's limit, not a fault in what was written.
    if (fuzz::countNodes(*value) > plist::maximumNodes(written.size()))
        return 0;
    QString error;
    const std::optional<plist::Value> back = plist::parse(written, &error);
    if (!back || !fuzz::sameValue(*value, *back, fuzz::Form::Binary))
        std::abort();
    if (plist::writeBinary(*back) != written)
        std::abort();
    return 0;
}
