// Access rights: default rights, per-user entries and the parent's identity entry.

#include "tavric/model/Tavric.hpp"

#include "tavric/model/TavricInternal.hpp"

namespace zul {

namespace {

const std::map<int, int> noUserRights;

} // namespace

int Tavric::parentKey() const
{
    return parent ? static_cast<int32_t>(static_cast<uint32_t>(parent->getIdentity())) : 0;
}

bool Tavric::getUserRights(int user, int& rights) const
{
    if (isNull())
        return false;
    if (extra) {
        auto found = extra->userRights.find(user);
        if (found != extra->userRights.end()) {
            rights = found->second;
            return true;
        }
    }
    // A field's identity is never negative, so the public user never matches the parent's entry.
    if (hasParentEntry && parent && user != publicUser && user == parentKey()) {
        rights = parentRights;
        return true;
    }
    return false;
}

bool Tavric::hasRight(int user, int rights) const
{
    if (isNull())
        return false;
    if (user == systemUser && systemAccess)
        return true;
    int word = defaultRights;
    getUserRights(user, word);
    return rights == RightAccess ? word != 0 : (word & rights) != 0;
}

void Tavric::setDefaultRights(int rights)
{
    if (!isNull())
        defaultRights = static_cast<uint8_t>(rights);
}

void Tavric::setUserRights(int user, int rights)
{
    if (isNull())
        return;
    if (parent && user == parentKey()) {
        setParentRights(rights);
        return;
    }
    if (Extra* block = extraBlock()) {
        try {
            block->userRights[user] = rights;
        } catch (...) {
        }
    }
}

bool Tavric::removeUserRights(int user)
{
    if (isNull())
        return false;
    if (extra && extra->userRights.erase(user) != 0)
        return true;
    if (hasParentEntry && parent && user == parentKey()) {
        hasParentEntry = false;
        return true;
    }
    return false;
}

void Tavric::setParentRights(int rights)
{
    if (isNull() || !parent)
        return;
    hasParentEntry = true;
    parentRights = static_cast<uint8_t>(rights);
}

std::size_t Tavric::userRightsCount() const
{
    return (extra ? extra->userRights.size() : 0) + (hasParentEntry && parent ? 1 : 0);
}

const std::map<int, int>& Tavric::extraUserRights() const
{
    return extra ? extra->userRights : noUserRights;
}

} // namespace zul
