#include "attributes/ExpansionBudget.h"

#include "attributes/AttributeJson.h"

#include <QHash>

#include <limits>

namespace corvane {

namespace {

// Far above any real cost, and far enough below the type's limit that sums of a few cannot overflow.
constexpr qsizetype saturation = std::numeric_limits<qsizetype>::max() / 8;

qsizetype sum(qsizetype a, qsizetype b)
{
    return qMin(a + b, saturation);
}

qsizetype product(qsizetype a, qsizetype b)
{
    return b != 0 && a > saturation / b ? saturation : a * b;
}

// A subtree's cost as if it were the root: nodes, bytes, and the lines it takes in the copied text,
// each of which is indented by two spaces per level of nesting above it. A container inside a list is
// copied inline, on its item's line.
struct Measure {
    qsizetype nodes = 0;
    qsizetype bytes = 0;
    qsizetype lines = 0;
};

Measure measure(const ValueNode &node, QHash<const void *, Measure> &measured)
{
    if (const auto found = measured.constFind(node.identity()); found != measured.cend())
        return *found;
    // The node, its separator (a comma in JSON; a line break, ", " or "; " in the copied text) and its
    // line.
    Measure m { 1, 2, 1 };
    switch (node.kind()) {
    case ValueKind::String:
    case ValueKind::Text:
        m.bytes += jsonStringLength(node.string());
        m.lines += node.string().count(u'\n');
        break;
    case ValueKind::Data:
    case ValueKind::Bytes: {
        const qsizetype n = node.bytes().size();
        m.bytes += qMax(2 * n, 4 * ((n + 2) / 3) + 2); // hexadecimal, or base64 in quotes
        break;
    }
    case ValueKind::Null:
        m.bytes += 4;
        break;
    case ValueKind::Array:
    case ValueKind::Dictionary:
    case ValueKind::Quarantine: {
        m.bytes += 2; // brackets
        const QList<ValueNode> &children = node.children();
        for (qsizetype i = 0; i < children.size(); ++i) {
            const Measure child = measure(children[i], measured);
            const qsizetype lines
                = node.kind() == ValueKind::Array && children[i].isContainer() ? 0 : child.lines;
            m.nodes = sum(m.nodes, child.nodes);
            m.lines = sum(m.lines, lines);
            m.bytes = sum(m.bytes, sum(child.bytes, product(2, lines)));
            // JSON's quoted key and colon; never less than the copied text's key and ": ".
            if (i < node.keys().size())
                m.bytes = sum(m.bytes, jsonStringLength(node.keys()[i]) + 1);
        }
        break;
    }
    case ValueKind::Integer:
    case ValueKind::Boolean:
        m.bytes += scalarText(node).size();
        break;
    case ValueKind::Real:
    case ValueKind::Date:
        m.bytes += scalarText(node).size() + 2; // JSON quotes dates, "NaN" and the infinities
        break;
    }
    measured.insert(node.identity(), m);
    return m;
}

} // namespace

ExpansionCost ExpansionBudget::allowance(qsizetype inputSize) const
{
    const qsizetype share = product(qMax<qsizetype>(inputSize, 0), perInputByte);
    return { sum(share, m_floorLeft.nodes), sum(share, m_floorLeft.bytes) };
}

void ExpansionBudget::spend(qsizetype inputSize, const ExpansionCost &cost)
{
    const qsizetype share = product(qMax<qsizetype>(inputSize, 0), perInputByte);
    m_floorLeft.nodes = qMax<qsizetype>(0, m_floorLeft.nodes - qMax<qsizetype>(0, cost.nodes - share));
    m_floorLeft.bytes = qMax<qsizetype>(0, m_floorLeft.bytes - qMax<qsizetype>(0, cost.bytes - share));
}

ExpansionCost expansionCost(const ValueNode &node)
{
    QHash<const void *, Measure> measured;
    const Measure m = measure(node, measured);
    return { m.nodes, m.bytes };
}

} // namespace corvane
