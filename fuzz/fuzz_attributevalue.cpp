// Any bytes under any of the names that change how a value is read: the description never fails, and
// what is derived from it for display and for the listing stays within a small multiple of the input.
#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "attributes/ValueNode.h"

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the name, the rest is the value.
    static const QByteArray names[] = {
        "user.xdg.comment",
        "user.com.apple.quarantine",
        "user.com.apple.lastuseddate#PS",
        "user.DosStream.com.apple.metadata\xef\x80\xa2kMDItemWhereFroms:$DATA",
    };
    const corvane::AttributeName name = corvane::recogniseAttributeName(names[data[0] % std::size(names)]);
    const QByteArrayView value(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const corvane::AttributeDescription described = corvane::describeAttribute(name, value);
    const qsizetype limit = 64 * 1024 + 32 * value.size();
    const QByteArray json = corvane::valueToJson(described.value);
    if (corvane::copyText(described.value).size() > 1024 * 1024 + 16 * value.size() || json.size() > 8 * limit
        || corvane::preview(described.value).size() > 200)
        std::abort();
    // The JSON is well formed: Qt's reader accepts it (it may round large integers, which is all).
    QJsonParseError error;
    QJsonDocument::fromJson("[" + json + "]", &error);
    if (error.error != QJsonParseError::NoError)
        std::abort();
    return 0;
}
