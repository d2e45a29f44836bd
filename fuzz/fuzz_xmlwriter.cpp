// Whatever the reader makes of arbitrary bytes, the XML writer either refuses it with a reason or writes
// it so that it reads back as the same value (dates to the second), and writing that again gives the
// same bytes.
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
    QString error;
    const std::optional<QByteArray> written = plist::writeXml(*value, &error);
    if (!written) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const std::optional<plist::Value> back = plist::parse(*written, &error);
    if (!back || !fuzz::sameValue(*value, *back, fuzz::Form::Xml))
        std::abort();
    if (plist::writeXml(*back) != written)
        std::abort();
    return 0;
}
