#pragma once

// How far a value may grow when it is shown. A binary property list can name one subtree many times, so
// a few hundred bytes on disk can stand for tens of thousands of nodes and megabytes of text, and every
// view of the value (the panel's rows and detail area, the listing's JSON and text) writes a shared
// subtree out once per reference. The decoded tree itself stays small, since it shares what the input
// shares; what is bounded is what writing it out costs.
//
// A value is therefore allowed a cost proportional to what it takes on disk, its name included: 64
// nodes and 64 bytes of written text per byte, plus a small floor. One budget serves a whole listing and
// the floor is shared by all its values, so a file of a thousand small values gets one floor, not a
// thousand. A value over its allowance is shown as its bytes.

#include "attributes/ValueNode.h"

namespace corvane {

struct ExpansionCost {
    qsizetype nodes = 0; // nodes written out, a shared subtree once per reference
    qsizetype bytes = 0; // the longest text a view writes: JSON's bytes with its escapes, or the copied text

    bool fitsWithin(const ExpansionCost &allowance) const
    {
        return nodes <= allowance.nodes && bytes <= allowance.bytes;
    }
};

class ExpansionBudget {
public:
    static constexpr qsizetype perInputByte = 64;
    static constexpr ExpansionCost floor { 256, 4096 };

    // The most a value read from `inputSize` bytes (name and value) may cost.
    ExpansionCost allowance(qsizetype inputSize) const;
    // Records what such a value cost: whatever went beyond its own share came out of the floor.
    void spend(qsizetype inputSize, const ExpansionCost &cost);

private:
    ExpansionCost m_floorLeft = floor;
};

// What writing the tree out costs at most, over all its views. Each shared subtree is measured once and
// charged once per reference, so measuring costs what the tree holds, not what it expands to.
ExpansionCost expansionCost(const ValueNode &node);

} // namespace corvane
