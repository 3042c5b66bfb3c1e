#include "Art.hpp"

namespace art {

const std::vector<ImageSpec>& imageSpecs()
{
    static const std::vector<ImageSpec> specs = {
        {"cursor/main.png", 100, 100, drawCursorMain},
        {"cursor/attack.png", 100, 100, drawCursorAttack},
        {"cursor/analyse.png", 100, 100, drawCursorAnalyse},
        {"cursor/activate.png", 100, 100, drawCursorActivate},
        {"cursor/next_talking.png", 100, 100, drawCursorTalk},
        {"loading/background.jpg", 1920, 1080, drawLoadingBackground},
        {"loading/dancingmirabo.png", 7 * 300, 300, drawDancer},
        {"loading/bar.png", 1920, 40, drawLoadingBar},
        {"chipset0.png", SheetColumns * Tile, (ground::Tiles + SheetColumns - 1) / SheetColumns * Tile, drawGround},
        {"chipset0_obj.png", SheetColumns * Tile, (objects::Tiles + SheetColumns - 1) / SheetColumns * Tile,
         drawObjects},
        {"chipset0_ceiling.png", SheetColumns * Tile, (ceiling::Tiles + SheetColumns - 1) / SheetColumns * Tile,
         drawCeiling},
        {"wall_or_not.png", SheetColumns * Tile, Tile, drawWallSheet},
        {"chipset_event.png", SheetColumns * Tile, 2 * Tile, drawEventSheet},
        {"monster_chipset.png", SheetColumns * Tile, Tile, drawMonsterSheet},
        // Bars: filled to the largest value (130 stamina, 400 life), transparent after it.
        {"runbar.png", 150, 64, drawRunBar},
        {"maverick.png", 9 * Tile, 2 * Tile, drawPlayer},
        {"lightning.png", 3 * Tile, Tile, drawSpark},
        {"lifebar.png", 420, 93, drawLifeBar},
        {"hunter.png", 4 * Tile, 2 * Tile, drawHunter},
        {"face/hunter.png", 400, 400, drawFaceHunter},
        {"face/maverick.png", 400, 400, drawFaceMaverick},
        {"face/doctor.png", 400, 400, drawFaceDoctor},
        {"shot.png", 15 + 48, 24, drawShot},
        {"credit/bunny.png", 320, 400, drawBunny},
        {"credit/rope.png", 14, 2, drawRope},
        {"credit/title.png", 1200, 240, drawTitle},
        // The desktop's icon, one per size installed (not part of res/).
        {"icon/48.png", 48, 48, drawIcon},
        {"icon/64.png", 64, 64, drawIcon},
        {"icon/128.png", 128, 128, drawIcon},
        {"icon/256.png", 256, 256, drawIcon},
    };
    return specs;
}

} // namespace art
