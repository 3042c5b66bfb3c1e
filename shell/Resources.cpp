#include "shell/Resources.hpp"

namespace vrk {

const char* const cursorPaths[CursorCount] = {"res/cursor/main.png", "res/cursor/attack.png", "res/cursor/analyse.png",
                                              "res/cursor/activate.png", "res/cursor/next_talking.png"};
const sf::Vector2f cursorOrigins[CursorCount] = {{50.f, 50.f}, {50.f, 50.f}, {50.f, 50.f}, {50.f, 50.f}, {50.f, 50.f}};

const char* const loadingPaths[LoadingImageCount] = {"res/loading/background.jpg", "res/loading/dancingmirabo.png",
                                                     "res/loading/bar.png"};

const char* const fontPaths[FontCount] = {"res/error_font.ttf", "res/text_font.ttf"};
const char* const musicPaths[MusicCount] = {"res/maintheme.ogg", "res/dark.ogg", "res/victory.ogg"};
const char* const soundPaths[SoundCount] = {"res/shot.wav",    "res/bang.ogg",  "res/buster.ogg",
                                            "res/disrupt.ogg", "res/alert.ogg", "res/heal.ogg"};
const char* const texturePaths[TextureCount] = {
    "res/chipset0.png",      "res/chipset0_obj.png",  "res/chipset0_ceiling.png",
    "res/wall_or_not.png",   "res/chipset_event.png", "res/monster_chipset.png",
    "res/runbar.png",        "res/maverick.png",      "res/lightning.png",
    "res/lifebar.png",       "res/hunter.png",        "res/face/hunter.png",
    "res/face/maverick.png", "res/face/doctor.png",   "res/shot.png"};

sf::Texture* loadingTextures()
{
    static sf::Texture textures[LoadingImageCount];
    return textures;
}
sf::Sprite loadingSprites[LoadingImageCount];
int loadingFrame = 0;

} // namespace vrk
