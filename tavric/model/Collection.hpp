#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zul {

class Tavric;

// Elements of a collection field, in order. Owns its elements. A plain number is held as a compact
// slot, and becomes a field of its own (an untyped member, as the parser would have made) only when
// somebody asks for it as a field: maps hold hundreds of thousands of them.
class Collection {
public:
    static constexpr int defaultValuesPerLine = 16;

    // owner: the field whose collection this is (the parent of the members made on demand).
    explicit Collection(Tavric* owner) : owner(owner) {}
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;
    ~Collection();

    // Element i (from 0), or null when i is not below the element count (or memory ran out making
    // it).
    Tavric* elementAt(std::size_t i) const;
    std::size_t size() const { return slots.size(); }
    // Takes ownership of element; false (element not taken) when memory runs out.
    bool append(Tavric* element);
    // A plain member holding that number; false when memory runs out.
    bool appendInt(int64_t value);
    bool appendReal(double value);

    // Whether element i is a plain int (or real) member not yet made a field; its value then.
    bool plainInt(std::size_t i, int64_t& value) const;
    bool plainReal(std::size_t i, double& value) const;

    // The index of a member that is a field already; size() when it is none of them.
    std::size_t indexOf(const Tavric* element) const;

    // Copies other's elements (duplicates of its fields, the same plain values) after these.
    bool appendCopies(const Collection& other);
    // The collection now belongs to field (the parent of its members).
    void moveTo(Tavric* field);

    int valuesPerLine = defaultValuesPerLine;

private:
    enum class SlotKind : std::uint8_t { Field, Int, Real };
    struct Slot {
        union {
            Tavric* field;
            int64_t integer;
            double real;
        };
        SlotKind kind;
    };
    // False when memory runs out.
    bool push(const Slot& slot);

    Tavric* owner;
    mutable std::vector<Slot> slots;
};

} // namespace zul
