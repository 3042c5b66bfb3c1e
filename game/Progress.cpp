#include "game/Progress.hpp"

#include "tavric/model/Tavric.hpp"

namespace vrk {

const char* const FurthestLevelField = "FurthestLevel";

int furthestLevel(zul::Tavric& user)
{
    if (!user.exists(FurthestLevelField))
        return 0;
    const zul::Tavric& field = user.child(FurthestLevelField, zul::publicUser);
    // An edited file may hold anything there: only a whole number counts.
    return field.getType() == zul::TypeInt ? static_cast<int>(field.getInt(zul::publicUser)) : 0;
}

int continueLevel(zul::Tavric& user, int mapCount)
{
    const int furthest = furthestLevel(user);
    return furthest > 1 && furthest <= mapCount ? furthest : 0;
}

} // namespace vrk
