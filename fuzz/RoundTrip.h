#pragma once

// What the writers' round-trip targets share: whether a tree read back from what a writer wrote holds
// the value it was written from.

#include "plist/PlistReader.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace corvane::fuzz {

using plist::Value;

// The fuzzer's bytes as the reader reads them.
inline std::optional<Value> read(const uint8_t *data, size_t size)
{
    return plist::parse(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
}

// Nodes as the reader counts them, a shared subtree once per reference.
inline qsizetype countNodes(const Value &value)
{
    qsizetype nodes = 1;
    for (const Value &child : value.isDictionary() ? value.values() : value.elements())
        nodes += countNodes(child);
    return nodes;
}

enum class Form { Binary, Xml };

// The binary form keeps every bit of a real or a date. XML writes reals exactly but NaN without its
// payload, and dates to the second at or below the time (after rounding to the microsecond, as Python
// does); dictionaries come back in sorted key order.
inline bool sameValue(const Value &written, const Value &read, Form form)
{
    using Type = Value::Type;
    if (written.type() != read.type())
        return false;
    switch (written.type()) {
    case Type::Real:
        if (form == Form::Xml && std::isnan(written.toReal()))
            return std::isnan(read.toReal());
        return std::bit_cast<quint64>(written.toReal()) == std::bit_cast<quint64>(read.toReal());
    case Type::Date: {
        const double w = written.toDateSeconds(), r = read.toDateSeconds();
        if (form == Form::Binary)
            return std::bit_cast<quint64>(w) == std::bit_cast<quint64>(r);
        return std::floor(r) == r && r > w - 1 && r <= w + 1e-6;
    }
    case Type::Array:
    case Type::Set:
        if (written.count() != read.count())
            return false;
        for (qsizetype i = 0; i < written.count(); ++i) {
            if (!sameValue(written.elements()[i], read.elements()[i], form))
                return false;
        }
        return true;
    case Type::Dictionary:
        if (written.count() != read.count())
            return false;
        for (qsizetype i = 0; i < written.count(); ++i) {
            const Value *other = read.find(written.keys()[i]);
            if (!other || !sameValue(written.values()[i], *other, form))
                return false;
        }
        return true;
    default:
        return written == read;
    }
}

} // namespace corvane::fuzz
