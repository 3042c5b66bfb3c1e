#include "shell/Module.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/Resources.hpp"

#include <cstdlib>
#include <iostream>

namespace vrk {

enum { Background = 0, Dancer = 1, Bar = 2 };

bool Module::loadLoadingScreen()
{
    for (int i = 0; i < LoadingImageCount; ++i) {
        if (!loadingTextures()[i].loadFromFile(loadingPaths[i])) {
            shellContext.errors() << "Error while loading " << loadingPaths[i] << "." << std::endl;
            return false;
        }
        loadingSprites[i].setTexture(loadingTextures()[i], true);
    }
    const float sceneHeight = static_cast<float>(shellContext.scene().getSize().y);
    const float barHeight = static_cast<float>(loadingTextures()[Bar].getSize().y);
    const float dancerHeight = static_cast<float>(loadingTextures()[Dancer].getSize().y);
    loadingSprites[Background].setPosition(0.f, 0.f);
    loadingSprites[Bar].setPosition(0.f, sceneHeight - barHeight);
    loadingSprites[Dancer].setPosition(0.f, sceneHeight - barHeight - dancerHeight);
    return true;
}

void Module::drawLoadingScreen(unsigned done, unsigned total)
{
    if (done == 0)
        loadingFrame = 0;
    const sf::Uint8 blue = static_cast<sf::Uint8>(std::rand() & 0xff);
    const sf::Uint8 green = static_cast<sf::Uint8>(std::rand() & 0xff);
    const sf::Uint8 red = static_cast<sf::Uint8>(std::rand() & 0xff);
    sf::RenderTexture& scene = shellContext.scene();
    scene.clear(sf::Color(red, green, blue, 255));
    scene.draw(loadingSprites[Background]);

    loadingSprites[Dancer].setTextureRect(
        sf::IntRect((loadingFrame % DancerCells) * DancerCell, 0, DancerCell, DancerCell));
    ++loadingFrame;
    scene.draw(loadingSprites[Dancer]);

    const sf::Vector2u barSize = loadingTextures()[Bar].getSize();
    const double fraction = total > 0 ? static_cast<double>(done) / total : 1.0;
    const int width = static_cast<int>(fraction * barSize.x);
    loadingSprites[Bar].setTextureRect(sf::IntRect(0, 0, width, static_cast<int>(barSize.y)));
    scene.draw(loadingSprites[Bar]);

    shellContext.present();
}

} // namespace vrk
