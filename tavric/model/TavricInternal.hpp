#pragma once

// Private blocks of zul::Tavric, shared by the model's and the text's sources only.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"

namespace zul {

// Fields removed from any tree so far. A designation cached before a removal may name a deleted
// field, so it is trusted only while this count stays the same.
extern std::size_t fieldsRemoved;

struct Tavric::Children {
    std::map<int, Tavric*> byId;
    std::map<int, bool> linkedIds;
    std::vector<Tavric*> inOrder;
    ChildMap byName;
};

struct Tavric::RootData {
    NameDictionary* dictionary = nullptr;
    void* loadContext = nullptr;
    bool ownsDictionary = false;
    int lastError = 0;
    std::vector<std::string> messages;
};

// Attributes most fields never use; allocated on first need.
struct Tavric::Extra {
    Children* children = nullptr;
    RootData* root = nullptr;
    // Rights entries other than the parent's identity (kept in the field itself).
    std::map<int, int> userRights;
    std::vector<int> pointerLevels;
    Tavric* target = nullptr;
    std::size_t targetEpoch = 0; // fieldsRemoved when target was cached
    Expression* expression = nullptr;
    Collection* collection = nullptr;
    std::string entryName;
    std::string structName;
    // The name id the field was created under, when copyFrom has renamed it since: the address,
    // id path and identity keep it.
    int pathId = -1;
};

} // namespace zul
