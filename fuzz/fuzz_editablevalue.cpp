// Whatever bytes an attribute holds, what the editor makes of them can be written back: a value it may
// edit encodes in the form it was found in, and that reads back as the same value and encodes to the
// same bytes again.
#include "attributes/EditableValue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace corvane;
    const QByteArrayView stored(reinterpret_cast<const char *>(data), qsizetype(size));
    // The names under which the same bytes decode differently: tags, any list, the desktop's plain text.
    for (const char *systemName : { "user.com.apple.metadata:_kMDItemUserTags",
             "user.com.apple.metadata:kMDItemKeywords", "user.xdg.comment" }) {
        const AttributeName name = recogniseAttributeName(systemName);
        const EditableValue value = decodeEditableValue(name, stored);
        if (value.kind == EditKind::None)
            continue;
        const std::optional<QByteArray> written = encodeEditableValue(value);
        if (!written)
            std::abort();
        const EditableValue back = decodeEditableValue(name, *written);
        if (!(back == value) || encodeEditableValue(back) != written)
            std::abort();
    }
    return 0;
}
