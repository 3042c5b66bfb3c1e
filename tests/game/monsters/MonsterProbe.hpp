#pragma once
// A monster's state, set directly so that a test can begin where the case it checks begins (a
// hunter mid-chase, a patroller facing a wall) instead of replaying the steps that lead there.

#include "game/monsters/Hunter.hpp"

namespace vrk {
namespace testing {

struct MonsterProbe {
    static sf::Vector2f& position(Monster& monster) { return monster.place; }
    static double& heading(Monster& monster) { return monster.bearing; }
    static int& frame(Monster& monster) { return monster.animation; }
    static bool& chasing(Hunter& hunter) { return hunter.hunting; }
    static sf::Vector2f& target(Hunter& hunter) { return hunter.goal; }
    static int& fireTimer(Hunter& hunter) { return hunter.shotTimer; }
};

} // namespace testing
} // namespace vrk
