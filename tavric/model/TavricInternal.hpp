#pragma once

// Private blocks of zul::Tavric, shared by the model's and the text's sources only.

#include <map>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"

namespace zul {

struct Tavric::Children
{
    std::map<int, Tavric*> byId;
    std::map<int, bool> linkedIds;
    std::vector<Tavric*> inOrder;
    ChildMap byName;
};

struct Tavric::RootData
{
    NameDictionary* dictionary = nullptr;
    void* loadContext = nullptr;
    bool ownsDictionary = false;
    int lastError = 0;
    std::vector<std::string> messages;
};

// Attributes most fields never use; allocated on first need.
struct Tavric::Extra
{
    Children* children = nullptr;
    RootData* root = nullptr;
    // Rights entries other than the parent's identity (kept in the field itself).
    std::map<int, int> userRights;
    std::vector<int> pointerLevels;
    Tavric* target = nullptr;
    Expression* expression = nullptr;
    Collection* collection = nullptr;
    std::string entryName;
    std::string structName;
    // The name id the field was created under, when copyFrom has renamed it since: the address,
    // id path and identity keep it.
    int pathId = -1;
};

} // namespace zul
