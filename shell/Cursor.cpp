#include "shell/Program.hpp"

#include <iostream>

namespace vrk {

namespace {
// The cursor cell advances once every this many drawn frames.
constexpr int CursorFramesPerCell = 4;
} // namespace

bool Program::loadCursors()
{
    cursorFrame = 0;
    for (int i = 0; i < CursorCount; ++i) {
        if (!cursorTextures[i].loadFromFile(cursorPaths[i])) {
            errors() << "Cannot load " << cursorPaths[i] << " from memory." << std::endl;
            return false;
        }
        cursorSprites[i].setTexture(cursorTextures[i]);
        cursorSprites[i].setTextureRect(sf::IntRect(0, 0, CursorCell, CursorCell));
        cursorSprites[i].setOrigin(cursorOrigins[i]);
    }
    return true;
}

void Program::drawCursor()
{
    if (cursorIndex < 0 || cursorIndex >= CursorCount)
        return;
    sf::Sprite& sprite = cursorSprites[cursorIndex];
    // An image narrower than one cell still shows as a single cell.
    int cells = static_cast<int>(cursorTextures[cursorIndex].getSize().x) / CursorCell;
    if (cells < 1)
        cells = 1;
    int cell = (cursorFrame / CursorFramesPerCell) % cells;
    // Kept bounded so the counter never overflows in a long session.
    cursorFrame = (cursorFrame + 1) % (CursorFramesPerCell * cells);
    sprite.setTextureRect(sf::IntRect(cell * CursorCell, 0, CursorCell, CursorCell));
    sprite.setPosition(mousePosition);
    sceneTexture.draw(sprite);
}

} // namespace vrk
