#pragma once

// The three parsers behind parse(), each for bytes whose format is already known.

#include "plist/PlistValue.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane::plist::detail {

// Counts the nodes a parse materialises against maximumNodes() of the input.
class NodeBudget {
public:
    explicit NodeBudget(qsizetype inputSize);
    // False once the tree would exceed the budget.
    bool take(qsizetype nodes = 1);

private:
    qsizetype m_remaining;
};

std::optional<Value> parseBinary(QByteArrayView bytes, QString *error);
std::optional<Value> parseXml(QByteArrayView bytes, QString *error);
std::optional<Value> parseOpenStep(QByteArrayView bytes, QString *error);

} // namespace corvane::plist::detail
