#include "shell/SceneCopy.hpp"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <utility>
#include <vector>

namespace vrk {

namespace {
// From OpenGL 3.0 (and ARB_framebuffer_object), which SFML's headers do not declare.
constexpr GLenum ReadFramebuffer = 0x8CA8;
constexpr GLenum DrawFramebuffer = 0x8CA9;
constexpr GLenum ColourAttachment0 = 0x8CE0;
constexpr GLenum FramebufferComplete = 0x8CD5;

using GenFramebuffers = void (*)(GLsizei, GLuint*);
using DeleteFramebuffers = void (*)(GLsizei, const GLuint*);
using BindFramebuffer = void (*)(GLenum, GLuint);
using FramebufferTexture2D = void (*)(GLenum, GLenum, GLenum, GLuint, GLint);
using CheckFramebufferStatus = GLenum (*)(GLenum);
using BlitFramebuffer = void (*)(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum);

struct Functions {
    GenFramebuffers gen = nullptr;
    DeleteFramebuffers remove = nullptr;
    BindFramebuffer bind = nullptr;
    FramebufferTexture2D attach = nullptr;
    CheckFramebufferStatus status = nullptr;
    BlitFramebuffer blit = nullptr;
    bool complete() const { return gen && remove && bind && attach && status && blit; }
};

Functions& functions()
{
    static Functions gl;
    return gl;
}

template <typename Function>
Function load(const char* name)
{
    return reinterpret_cast<Function>(sf::Context::getFunction(name));
}
} // namespace

SceneCopy::~SceneCopy()
{
    // The framebuffer belongs to the window's context, which may be gone by now: it goes with it.
}

bool SceneCopy::prepare(const sf::Texture& texture)
{
    Functions& gl = functions();
    if (!tried) {
        tried = true;
        gl.gen = load<GenFramebuffers>("glGenFramebuffers");
        gl.remove = load<DeleteFramebuffers>("glDeleteFramebuffers");
        gl.bind = load<BindFramebuffer>("glBindFramebuffer");
        gl.attach = load<FramebufferTexture2D>("glFramebufferTexture2D");
        gl.status = load<CheckFramebufferStatus>("glCheckFramebufferStatus");
        gl.blit = load<BlitFramebuffer>("glBlitFramebuffer");
        usable = gl.complete();
        if (usable)
            gl.gen(1, &framebuffer);
        usable = usable && framebuffer != 0;
    }
    if (!usable)
        return false;
    const unsigned name = texture.getNativeHandle();
    if (name != attached) {
        gl.bind(ReadFramebuffer, framebuffer);
        gl.attach(ReadFramebuffer, ColourAttachment0, GL_TEXTURE_2D, name, 0);
        usable = gl.status(ReadFramebuffer) == FramebufferComplete;
        gl.bind(ReadFramebuffer, 0);
        attached = name;
    }
    return usable;
}

namespace {
// New storage for the texture in the window's byte order, from texels given in that order (or
// undefined ones); the texture must be bound in a current context.
bool storeInWindowOrder(const sf::Texture& texture, sf::Vector2u size, const void* texels)
{
    using TexImage2D = void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
    static const auto texImage = load<TexImage2D>("glTexImage2D");
    if (!texImage || size.x == 0 || size.y == 0)
        return false;
    sf::Texture::bind(&texture);
    // An unsized format lets the driver store the texels in the order they are given in.
    texImage(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(size.x), static_cast<GLsizei>(size.y), 0, GL_BGRA,
             GL_UNSIGNED_BYTE, texels);
    sf::Texture::bind(nullptr);
    return true;
}
} // namespace

bool SceneCopy::matchWindowLayout(sf::RenderTexture& scene)
{
    if (!scene.setActive(true) || !storeInWindowOrder(scene.getTexture(), scene.getSize(), nullptr))
        return false;
    scene.clear(sf::Color::Black);
    return true;
}

bool SceneCopy::copyInWindowLayout(const sf::Texture& from, sf::Texture& to)
{
    const sf::Image image = from.copyToImage();
    const sf::Vector2u size = image.getSize();
    if (size.x == 0 || size.y == 0 || !to.create(size.x, size.y))
        return false;
    std::vector<sf::Uint8> texels(image.getPixelsPtr(), image.getPixelsPtr() + 4u * size.x * size.y);
    for (std::size_t i = 0; i < texels.size(); i += 4)
        std::swap(texels[i], texels[i + 2]);
    to.setSmooth(from.isSmooth());
    to.setRepeated(from.isRepeated());
    return storeInWindowOrder(to, size, texels.data());
}

bool SceneCopy::loadFetchShader(sf::Shader& shader)
{
    if (!sf::Shader::isAvailable() ||
        !shader.loadFromMemory("uniform sampler2D source;\n"
                               "void main() { gl_FragColor = texture2D(source, gl_TexCoord[0].xy); }\n",
                               sf::Shader::Fragment))
        return false;
    shader.setUniform("source", sf::Shader::CurrentTexture);
    return true;
}

bool SceneCopy::prepareShader()
{
    if (!shaderTried) {
        shaderTried = true;
        shaderUsable = loadFetchShader(fetch);
    }
    return shaderUsable;
}

bool SceneCopy::copy(const sf::Texture& texture, sf::RenderWindow& window)
{
    const sf::Vector2u size = texture.getSize();
    if (size != window.getSize())
        return false;
    // Fetching without the vertex colour's product is what the renderer recognises as a copy.
    if (prepareShader()) {
        sf::RenderStates states(sf::BlendNone);
        states.shader = &fetch;
        window.draw(sf::Sprite(texture), states);
        return true;
    }
    if (!window.setActive(true) || !prepare(texture))
        return false;
    Functions& gl = functions();
    const GLint width = static_cast<GLint>(size.x);
    const GLint height = static_cast<GLint>(size.y);
    gl.bind(ReadFramebuffer, framebuffer);
    gl.bind(DrawFramebuffer, 0);
    gl.blit(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl.bind(ReadFramebuffer, 0);
    return true;
}

} // namespace vrk
