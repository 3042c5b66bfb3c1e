#pragma once
// Names of the in-game module's resources (indices into the path tables of shell/Resources.hpp)
// and of the cursor modes, declared once for the game and its tests.

namespace vrk {

enum TextureId {
    GroundSheet = 0,
    ObjectSheet = 1,
    CeilingSheet = 2,
    WallSheet = 3,
    EventSheet = 4,
    MonsterSheet = 5,
    RunBarTexture = 6,
    PlayerTexture = 7,
    SparkTexture = 8,
    LifeBarTexture = 9,
    HunterTexture = 10,
    HunterFaceTexture = 11,
    MaverickFaceTexture = 12,
    DoctorFaceTexture = 13,
    BulletTexture = 14,
};

enum FontId { MessageFont = 0, DialogueFont = 1 };

// ShotSound is loaded but no rule plays it.
enum SoundId {
    ShotSound = 0,
    BangSound = 1,
    HunterFireSound = 2,
    BulletImpactSound = 3,
    AlertSound = 4,
    HealSound = 5
};

enum MusicId { MainTheme = 0, DarkTheme = 1, VictoryTheme = 2 };

// The Program's cursorIndex during play. It is also the mode an event handler receives for a
// click; walking into a cell gives StepMode.
enum CursorMode {
    NoCursor = -1,
    MainCursor = 0,
    AttackCursor = 1,
    AnalyseCursor = 2,
    ActivateCursor = 3,
    TalkCursor = 4
};
constexpr int StepMode = MainCursor;

// The portrait beside a line of dialogue: the texture of that index, or none.
enum Face {
    HunterFace = HunterFaceTexture,
    MaverickFace = MaverickFaceTexture,
    DoctorFace = DoctorFaceTexture,
    NoFace = 15
};

} // namespace vrk
