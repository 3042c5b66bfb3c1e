#pragma once
// The figures the game's rules fix: speeds, stamina, life, reach, field of view and timers.
// Per fixed step of 1/30 s, in scene units, unless said otherwise. The game and its tests use
// these names, so a figure is written once.

#include "game/MapFormat.hpp"
#include "game/Menu.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

namespace vrk {

constexpr double Pi = 3.14159265358979323846;
// Headings are kept in degrees, as sprites turn; the trigonometry takes radians.
constexpr double toRadians(double degrees)
{
    return degrees * Pi / 180.0;
}
constexpr double toDegrees(double radians)
{
    return radians * 180.0 / Pi;
}

// ---- the player ----
// The top-left corner of the default start cell, (6120, 4440).
const sf::Vector2f PlayerStart(static_cast<float>(DefaultStartColumn * TileSize),
                               static_cast<float>(DefaultStartRow * TileSize));
constexpr int StartLife = 340;
constexpr int MaxStamina = 130;
constexpr int WalkSpeed = 13;
constexpr int RunSpeed = 20;
constexpr int ExhaustedSpeed = 8;
// An attack swing lasts this many steps (the timer counts down from it).
constexpr int SwingSteps = 9;
constexpr float HitReach = 50.f;
constexpr float HitRadiusSquared = 6400.f;
constexpr int HitDamage = 100;
constexpr int WalkFrames = 16;
constexpr int StandingFrame = 8; // the second standing pose, halfway through the cycle
// The life bar slides left by one pixel per point of life below this.
constexpr int FullLifeBar = 400;
// Standing on a closed door, per step.
constexpr int ClosedDoorDamage = 20;
constexpr int MonsterClosedDoorDamage = 200;

// ---- the light ----
constexpr double ViewDistance = 1200.0;
constexpr double HalfFieldOfView = 1.8849555921538759; // 0.6 pi
// Samples along a ray are this far apart; the cone holds this many rays per unit of reach.
constexpr double RaySampleStep = 60.0;
constexpr double RaysPerUnitOfReach = 1.5;

// ---- events ----
constexpr int PanelReachSquared = 120 * 120;
constexpr int AttackSparkSteps = 200;
constexpr int DoorSparkSteps = 20;
constexpr int DoorSteps = 20;

// ---- flow ----
constexpr int MaxMessages = 3;
constexpr int MessageSteps = 100;
constexpr int OpeningDialogueDelay = 50;
// The offer to continue a later level shows through the wait for the conversation, the
// conversation itself and this long after it, as a line of the log would.
constexpr int OfferSteps = OpeningDialogueDelay + MessageSteps;
constexpr float CursorSpin = 5.f; // degrees
constexpr int VoiceCount = 31;
constexpr float VoiceVolume = 40.f;
constexpr float MusicVolume = 70.f;

// ---- text on the scene: dialogue and message log ----
const sf::Color TextFill(255, 255, 255);
const sf::Color TextOutline(16, 16, 16);
constexpr float TextOutlineThickness = 3.f;

// ---- menus: the title's and the pause's ----
// The selected item's words and frame, over a dark panel; the scene behind a menu is dimmed
// by MenuDim so that the plain items' white stays readable on the brightest floor.
const sf::Color MenuHighlight(255, 220, 40);
const sf::Color MenuPanel(0, 0, 0, 170);
const sf::Color MenuDim(0, 0, 0, 185);
constexpr float MenuFrameThickness = 4.f;
// The pause screen's items, under its title and its two lines.
constexpr MenuLayout PauseMenuLayout{960.f, 700.f, 84.f, 640.f, 70.f, 44};

// ---- the HUD and its feedback ----
// A hit flashes the screen's edges red at this alpha plus this much per point of life lost,
// up to the maximum, fading by the last figure per step.
constexpr int HitFlashBase = 60;
constexpr int HitFlashPerLife = 2;
constexpr int HitFlashMax = 220;
constexpr int HitFlashFade = 12;
constexpr int HitMarkerSteps = 30;
constexpr int SpottedMarkSteps = 30;
// A hunter that saw the player this recently does not sound the alert again.
constexpr int AlertRepeatSteps = 90;
constexpr int IndicatorSteps = 60;

// ---- dialogue ----
constexpr int BoxSlideSpeed = 8;
constexpr int BoxOpenSpeed = 8;
constexpr int FaceFadeSpeed = 8;
// Typing speeds, in characters per step, of two lines that type at their own pace.
constexpr double HaltingTyping = Pi / 3;
constexpr double MeasuredTyping = 2 * Pi / 3;

// ---- hunters (degrees for angles) ----
constexpr int HunterLife = 100;
constexpr double HunterTurnSpeed = 2.0;
constexpr float HunterPatrolSpeed = 5.0f;
constexpr float HunterChaseSpeed = 12.0f;
constexpr double HunterTouchDistance = 10.0;
constexpr double HunterTouchDistanceSquared = HunterTouchDistance * HunterTouchDistance;
constexpr int HunterTouchDamage = 50;
constexpr double HunterSightDistance = 900.0;
constexpr double HunterHalfFieldOfView = 85.0;
constexpr int HunterFireInterval = 20;

// ---- bullets ----
constexpr double BulletSpeed = 25.0;
constexpr double BulletHitDistanceSquared = 225.0;
constexpr int BulletDamage = 50;
constexpr int BulletSpinPerStep = 10; // degrees

// ---- difficulty ----
// While guarded after a hit the player is shown and hidden in turns of this many steps.
constexpr int BlinkSteps = 3;
// The rules a difficulty changes, one row each. Classic keeps the game's first rules exactly;
// normal and easy make a hit fair, keep checkpoints, heal and keep the hunters to the view.
struct DifficultyRules {
    int maxLife;
    // A hunter's touch hurts on every step of contact (classic) rather than once, with a push.
    bool touchEveryStep;
    // Units a touch pushes the player away from the hunter.
    float touchPush;
    // Steps after a hit during which nothing hurts (the player blinks).
    int guardSteps;
    bool checkpoints;
    // Life a medical cabinet gives back, once; 0: cabinets do nothing.
    int cabinetHeal;
    // Out of combat (no hit, no hunter spotting the player for calmSteps), one point of life
    // comes back every healEvery steps; 0: never.
    int calmSteps;
    int healEvery;
    // Hunters outside the view neither spot the player nor fire, and the view leads toward
    // the pointer by the pointer's offset from the centre times this, at most a quarter of it.
    bool hunterSightInView;
    float cameraLead;
    bool slideAlongWalls;
    int hunterFireInterval;
    // Panels, remote panels and cabinets work from every cell that touches them (a remote panel:
    // from every floor cell that touches its door), as well as from within their reach.
    bool useFromTouchingCells;
    // Hunters keep their centres this far from the player's (a touch is their meeting, and a
    // hunter closer is pushed out); 0: the first rules' touch, which lets them overlap.
    float bodyGap;
    // Hunters this close to the player show through the fog whatever the cone's direction; 0: none.
    float awarenessRadius;
    // Bullets larger and brighter with a short trail, drawn over the fog, and the hit marker
    // following the hunter that hurt; else the first rules' look.
    bool readableThreats;
};

// How near a hunter's centre comes to the player's to touch him: within the gap the rules keep
// between bodies and a little beyond it (a hunter held at the gap still touches), else the first
// rules' 10 units. A strike reaches every hunter this near whatever its aim.
constexpr float BodyContactSlack = 4.f;
constexpr float touchReach(const DifficultyRules& rules)
{
    return rules.bodyGap > 0.f ? rules.bodyGap + BodyContactSlack : static_cast<float>(HunterTouchDistance);
}

// The view leads toward the pointer by at most this share of its size, closing this share of
// the gap each step.
constexpr float CameraLeadLimit = 0.25f;
constexpr float CameraLeadEase = 0.2f;
// A medical cabinet: its object tile value, the reach from which it is used (a cell and a
// half), and the grey plate drawn over the cross of a used one.
constexpr int CabinetObject = 19;
constexpr float CabinetReachSquared = 180.f * 180.f;
constexpr float UsedCabinetPlate = 64.f;
const sf::Color UsedCabinetGrey(128, 132, 136);

// The figures of the easier rows.
constexpr int EasyLife = FullLifeBar;
constexpr float TouchPush = 90.f;
constexpr int GuardSteps = 23; // about 0.75 s
constexpr int EasyCabinetHeal = 200;
constexpr int NormalCabinetHeal = 150;
constexpr int EasyCalmSteps = 150; // 5 s
constexpr int EasyHealEvery = 10;
constexpr float CameraLeadShare = 0.5f;
constexpr int EasyFireInterval = 30;
// Shoulder to shoulder: the two bodies drawn reach about 35 units from their centres.
constexpr float BodyGap = 70.f;
constexpr float AwarenessRadius = 180.f; // a cell and a half

// Indexed by the Difficulty of the settings: easy, normal, classic.
constexpr int DifficultyCount = 3;
constexpr DifficultyRules DifficultyTable[DifficultyCount] = {
    // life, every, push, guard, checkpoints, cabinet, calm, heal, sight, lead, slide, fire, touching, gap,
    // awareness, readable
    {EasyLife, false, TouchPush, GuardSteps, true, EasyCabinetHeal, EasyCalmSteps, EasyHealEvery, true, CameraLeadShare,
     true, EasyFireInterval, true, BodyGap, AwarenessRadius, true},
    {StartLife, false, TouchPush, GuardSteps, true, NormalCabinetHeal, 0, 0, true, CameraLeadShare, true,
     HunterFireInterval, true, BodyGap, AwarenessRadius, true},
    {StartLife, true, 0.f, 0, false, 0, 0, 0, false, 0.f, false, HunterFireInterval, false, 0.f, 0.f, false},
};

// The row of a difficulty (the settings' Difficulty as an int); out of range reads the nearest.
constexpr const DifficultyRules& rulesFor(int difficulty)
{
    return DifficultyTable[difficulty < 0 ? 0 : difficulty >= DifficultyCount ? DifficultyCount - 1 : difficulty];
}

} // namespace vrk
