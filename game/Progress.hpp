#pragma once
// How far the player got, as the user data keeps it: read by the game's offer to continue and by
// the title's Continue.

namespace zul {
class Tavric;
}

namespace vrk {

// Where the user data keeps the furthest level reached, counted from 1.
extern const char* const FurthestLevelField;

// The furthest level reached (from 1), 0 when none is stored or the stored value is no whole number.
int furthestLevel(zul::Tavric& user);
// The level (from 1) a game can continue from: the furthest reached when it is past the first
// and the configuration has that many maps; 0 when there is none.
int continueLevel(zul::Tavric& user, int mapCount);

} // namespace vrk
