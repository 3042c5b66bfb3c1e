#pragma once

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/System/Vector2.hpp>

// Resource file names, relative to the game's directory. Modules address entries by index.
namespace vrk {

constexpr int CursorCount = 5;
constexpr int CursorCell = 100;
extern const char* const cursorPaths[CursorCount];
extern const sf::Vector2f cursorOrigins[CursorCount];

constexpr int LoadingImageCount = 3;
constexpr int DancerCell = 300;
constexpr int DancerCells = 7;
extern const char* const loadingPaths[LoadingImageCount];

constexpr int FontCount = 2;
constexpr int MusicCount = 3;
constexpr int SoundCount = 6;
constexpr int TextureCount = 15;
extern const char* const fontPaths[FontCount];
extern const char* const musicPaths[MusicCount];
extern const char* const soundPaths[SoundCount];
extern const char* const texturePaths[TextureCount];

// The loading screen is shared by every module and stays loaded for the whole run. Its textures are
// made on first use: a texture needs a display, and --version or --help must answer without one.
sf::Texture* loadingTextures();
extern sf::Sprite loadingSprites[LoadingImageCount];
extern int loadingFrame;

// Runs a load with SFML's own complaint held back, for a file whose absence the caller either
// reports in its own words or tolerates; gives what the load gave.
template <typename Load>
bool loadQuietly(Load load)
{
    std::streambuf* previous = sf::err().rdbuf(nullptr);
    const bool loaded = load();
    sf::err().rdbuf(previous);
    sf::err().clear();
    return loaded;
}

} // namespace vrk
