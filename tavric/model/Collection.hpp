#pragma once

#include <cstddef>
#include <vector>

namespace zul {

class Tavric;

// Elements of a collection field, in order. Owns its elements.
class Collection {
public:
    static constexpr int defaultValuesPerLine = 16;

    Collection() = default;
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;
    ~Collection();

    // Element i (from 0), or null when i is not below the element count.
    Tavric* elementAt(std::size_t i) const { return i < elements.size() ? elements[i] : nullptr; }
    std::size_t size() const { return elements.size(); }
    // Takes ownership of element; false (element not taken) when memory runs out.
    bool append(Tavric* element);

    std::vector<Tavric*> elements;
    int valuesPerLine = defaultValuesPerLine;
};

} // namespace zul
