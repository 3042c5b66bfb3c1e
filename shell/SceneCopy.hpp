#pragma once

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace vrk {

// Copies a texture of the window's size onto the window pixel for pixel. A software renderer
// draws a textured full-window quad several times slower than it copies the same pixels, unless
// the quad only fetches from a texture laid out as the window is: then it copies.
class SceneCopy {
public:
    ~SceneCopy();
    // Gives the scene's storage the window's byte order (blue, green, red, alpha), keeping its
    // size; what it held is lost. On a software renderer both the drawing into the scene and
    // the copy to the window then take faster paths; the pixels are the same.
    static bool matchWindowLayout(sf::RenderTexture& scene);
    // `to` becomes a copy of `from` in the window's byte order (read back once, so later
    // changes to `from` are not seen). Needs an active context, such as the target's.
    static bool copyInWindowLayout(const sf::Texture& from, sf::Texture& to);
    // A shader that only fetches the bound texture's texel: the vertex colour's product is what
    // keeps the renderer from copying. False when shaders are not available.
    static bool loadFetchShader(sf::Shader& shader);
    // False (nothing done) when the sizes differ or no way to copy works; the caller then
    // draws the texture instead.
    bool copy(const sf::Texture& texture, sf::RenderWindow& window);

private:
    bool prepare(const sf::Texture& texture);
    bool prepareShader();

    bool tried = false;
    bool usable = false;
    unsigned framebuffer = 0;
    unsigned attached = 0; // the texture's OpenGL name attached to the framebuffer
    bool shaderTried = false;
    bool shaderUsable = false;
    sf::Shader fetch; // the texture's texel, nothing else
};

} // namespace vrk
