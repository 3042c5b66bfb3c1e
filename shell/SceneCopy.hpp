#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace vrk {

// Copies a texture of the window's size onto the window pixel for pixel with the OpenGL
// framebuffer blit, where the driver has it. A software renderer draws a textured full-window
// quad several times slower than it copies the same pixels.
class SceneCopy {
public:
    ~SceneCopy();
    // False (nothing done) when the blit is not available or the sizes differ; the caller then
    // draws the texture instead.
    bool copy(const sf::Texture& texture, sf::RenderWindow& window);

private:
    bool prepare(const sf::Texture& texture);

    bool tried = false;
    bool usable = false;
    unsigned framebuffer = 0;
    unsigned attached = 0; // the texture's OpenGL name attached to the framebuffer
};

} // namespace vrk
