// Attribute values come from files from anywhere: whatever the bytes, reading must end in a tree within
// the nesting and node limits, and a string read must survive our own writer and the codec unchanged.
#include "attributes/AttributeCodec.h"
#include "plist/PlistReader.h"
#include "plist/PlistWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using corvane::plist::Value;

// Visits every node the way a consumer would, shared subtrees once per reference.
qsizetype walk(const Value &value, int depth)
{
    if (depth > corvane::plist::maximumDepth)
        std::abort();
    qsizetype nodes = 1;
    switch (value.type()) {
    case Value::Type::Array:
    case Value::Type::Set:
        for (const Value &element : value.elements())
            nodes += walk(element, depth + 1);
        break;
    case Value::Type::Dictionary:
        if (value.keys().size() != value.values().size())
            std::abort();
        for (qsizetype i = 0; i < value.keys().size(); ++i) {
            if (value.find(value.keys().at(i)) == nullptr)
                std::abort();
            nodes += walk(value.values().at(i), depth + 1);
        }
        break;
    default:
        (void)value.toString();
        (void)value.toData();
        (void)value.toDateTime();
        break;
    }
    return nodes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<Value> value = corvane::plist::parse(bytes, &error);
    if (!value) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (walk(*value, 0) > corvane::plist::maximumNodes(bytes.size()))
        std::abort();

    const QString shown = corvane::decodeAttributeString(bytes);
    if (shown != value->toString())
        std::abort();
    if (value->isString()) {
        const std::optional<Value> again = corvane::plist::parse(corvane::plist::writeBinary(shown));
        if (!again || again->toString() != shown)
            std::abort();
        // Saving what is shown stores it unchanged, or refuses it; it never stores something else.
        if (const auto stored = corvane::encodeAttributeString(shown))
            if (corvane::decodeAttributeString(*stored) != shown)
                std::abort();
    }
    return 0;
}
