#pragma once

#include <deque>
#include <map>
#include <string>

namespace zul {

// Returned by failed string reads and by nameOf for ids without a name.
extern const std::string emptyString;

// Ids below this are never given out, so 1 and 2 can mean root and parent in address steps.
constexpr int firstNameId = 20;

// Names and their integer ids, shared by every tree of the application.
class NameDictionary {
public:
    NameDictionary() = default;
    NameDictionary(const NameDictionary&) = delete;
    NameDictionary& operator=(const NameDictionary&) = delete;

    // The id of a name, added when new; 0 when the name cannot be added (memory exhausted).
    int idOf(const std::string& name);
    // The name of an id, or emptyString when the id was never given out. The reference stays valid
    // for the life of the dictionary.
    const std::string& nameOf(int id) const;

    int firstFreeId() const { return firstFree; }

private:
    int firstFree = firstNameId;
    std::map<std::string, int> ids;
    // A deque keeps references to names valid while it grows.
    std::deque<std::string> names;
};

} // namespace zul
