// Any bytes under any of the names that change how a value is read: the description never fails, what
// is written out from it (the listing's JSON, the copied text, the preview) stays within the expansion
// budget of the value's size, and so does the memory the description, the JSON and the copied text
// hold at their peak.
#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "attributes/ExpansionBudget.h"
#include "attributes/ValueNode.h"

#include <QJsonDocument>

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Bytes allocated since counting began, and their peak, from the allocator's own hooks. Freeing memory
// allocated before counting began lowers the count, so the peak can only be understated by what such
// frees give back (Qt's caches, which outlive each call).
bool counting = false;
qint64 live = 0;
qint64 peak = 0;

void onAllocate(const volatile void *, size_t size)
{
    if (counting) {
        live += qint64(size);
        peak = std::max(peak, live);
    }
}

void onFree(const volatile void *pointer)
{
    if (counting)
        live -= qint64(__sanitizer_get_allocated_size(const_cast<const void *>(pointer)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    __sanitizer_install_malloc_and_free_hooks(onAllocate, onFree);
    return 0;
}

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
    const corvane::ExpansionCost allowance
        = corvane::ExpansionBudget().allowance(name.systemName.size() + value.size());

    live = peak = 0;
    counting = true;
    const corvane::AttributeDescription described = corvane::describeAttribute(name, value);
    const QByteArray json = corvane::valueToJson(described.value);
    const qsizetype copied = corvane::copyText(described.value).size();
    counting = false;

    const corvane::ExpansionCost cost = corvane::expansionCost(described.value);
    if (!cost.fitsWithin(allowance) || json.size() > cost.bytes || copied > cost.bytes
        || corvane::preview(described.value).size() > 200)
        std::abort();
    // The parse tree, the shared value tree, the JSON and the copied text (two bytes a character), each
    // a small multiple of the input or of the allowance.
    if (peak > 1024 * 1024 + 64 * value.size() + 4 * allowance.bytes)
        std::abort();
    // The JSON is well formed: Qt's reader accepts it (it may round large integers, which is all).
    QJsonParseError error;
    QJsonDocument::fromJson("[" + json + "]", &error);
    if (error.error != QJsonParseError::NoError)
        std::abort();
    return 0;
}
