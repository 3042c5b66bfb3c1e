#include "credits/Credit.hpp"

#include "shell/ModuleContext.hpp"
#include "shell/Resources.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"
#include "tavric/model/Tavric.hpp"
#include "shell/TypeName.hpp"

#include <cmath>

namespace vrk {

const char* const Credit::imagePaths[ImageCount] = {"./res/credit/bunny.png", "./res/credit/rope.png",
                                                    "./res/credit/title.png"};
const char* const Credit::jinglePath = "./res/credit/jingle.ogg";

namespace {

// The loading bar counts the three images and the jingle as four parts.
constexpr unsigned LoadingParts = 4;

constexpr int WaitSteps = 50;
constexpr int FallPerStep = 40;
constexpr int RisePerStep = 10;
// The hold counts 100 down by 2: 50 steps, like the wait.
constexpr int HoldCount = 100;
constexpr int HoldPerStep = 2;
constexpr int LeavePerStep = 40;

// Fractions of the scene height: the bunny falls out of the bottom, then climbs back up to
// near the top.
constexpr double DropFactor = 1.3;
constexpr double RiseFactor = 0.2;
// The title follows the climbing bunny a tenth of its height below it.
constexpr double TitleFactor = 1.1;
// The rope ends 30 % into the bunny, where its paws hold it.
constexpr double RopeGrip = 0.3;
// Sway of the falling rope: the distance still to fall, divided by this.
constexpr double SwayDivisor = 10.0;
constexpr double Pi = 3.14159265358979323846;

const sf::Color TrailOverlay(0, 0, 0, 64);
const sf::Color BlackOverlay(0, 0, 0, 255);
const sf::Color WashOverlay(255, 255, 255, 32);

} // namespace

bool Credit::onLoad()
{
    return true;
}

bool Credit::onStart()
{
    jingleOpen = false;
    phase = End;
    for (int i = 0; i < ImageCount; ++i) {
        if (!textures[i].loadFromFile(imagePaths[i])) {
            reportResourceFailure(shell().errors(), *this, imagePaths[i]);
            return false;
        }
        sprites[i].setTexture(textures[i], true);
        drawLoadingScreen(static_cast<unsigned>(i), LoadingParts);
    }

    if (shell().option("Sound") == "True") {
        // The jingle is optional: a missing file means silence, without SFML's complaint.
        jingleOpen = loadQuietly([this] { return jingle.openFromFile(jinglePath); });
    }
    drawLoadingScreen(LoadingParts, LoadingParts);

    restart();
    return true;
}

void Credit::onRestart()
{
    phase = Wait;
    shell().setOverlayColor(TrailOverlay);
    bunnyY = -bunnyHeight();
    titleY = sceneHeight();
    dropLimit = static_cast<int>(sceneHeight() * DropFactor);
    counter = WaitSteps;
    riseLimit = static_cast<int>(sceneHeight() * RiseFactor);
    shell().setCursor(-1);
}

void Credit::onStop()
{
    for (sf::Texture& texture : textures)
        texture = sf::Texture();
    jingle.stop();
}

void Credit::onEvent(const sf::Event& event)
{
    if (event.type == sf::Event::KeyPressed || event.type == sf::Event::MouseButtonPressed)
        shell().popState(true);
}

void Credit::onUpdate(int)
{
    const int hb = bunnyHeight();
    switch (phase) {
    case Wait:
        if (--counter <= 0) {
            phase = Fall;
            if (jingleOpen)
                jingle.play();
        }
        break;
    case Fall:
        bunnyY += FallPerStep;
        if (bunnyY > dropLimit) {
            phase = Rise;
            shell().setOverlayColor(BlackOverlay);
        }
        break;
    case Rise:
        bunnyY -= RisePerStep;
        titleY = static_cast<int>(hb * TitleFactor + bunnyY);
        if (bunnyY <= riseLimit) {
            counter = HoldCount;
            phase = Hold;
        }
        break;
    case Hold:
        counter -= HoldPerStep;
        if (counter <= 0)
            phase = Leave;
        break;
    case Leave:
        if (bunnyY > -hb)
            bunnyY -= LeavePerStep;
        if (titleY < sceneHeight())
            titleY += LeavePerStep;
        shell().setOverlayColor(WashOverlay);
        if (bunnyY <= -hb)
            phase = End;
        break;
    default:
        // popState stops this module; nothing of it may be touched afterwards.
        shell().popState(true);
        return;
    }
}

void Credit::onFailedStart()
{
    shell().popState(true);
}

void Credit::ropePositions(std::vector<sf::Vector2f>& positions) const
{
    positions.clear();
    const float ropeX = (sceneWidth() - sprites[Rope].getLocalBounds().width) * 0.5f;
    const double reach = sprites[Bunny].getLocalBounds().height * RopeGrip + bunnyY;
    if (phase == Fall) {
        const int n = static_cast<int>(reach);
        if (n < 0)
            return;
        // The sway fades as the bunny nears the bottom of its fall.
        const double amplitude = (dropLimit - bunnyY) / SwayDivisor;
        positions.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i <= n; ++i)
            positions.emplace_back(static_cast<float>(ropeX + amplitude * std::sin(i * Pi / 180.0)),
                                   static_cast<float>(n - i));
        return;
    }
    for (int i = 0; i < reach; ++i)
        positions.emplace_back(ropeX, static_cast<float>(i));
}

void Credit::onDraw()
{
    sf::RenderTexture& scene = shell().scene();

    ropePositions(ropeStamps);
    sf::Sprite& ropeSprite = sprites[Rope];
    for (const sf::Vector2f& position : ropeStamps) {
        ropeSprite.setPosition(position);
        scene.draw(ropeSprite);
    }

    sf::Sprite& bunny = sprites[Bunny];
    bunny.setPosition((sceneWidth() - bunny.getLocalBounds().width) * 0.5f, static_cast<float>(bunnyY));
    scene.draw(bunny);

    if (phase >= Rise) {
        sf::Sprite& title = sprites[Title];
        title.setPosition((sceneWidth() - title.getLocalBounds().width) * 0.5f, static_cast<float>(titleY));
        scene.draw(title);
    }
}

int Credit::bunnyHeight() const
{
    return static_cast<int>(sprites[Bunny].getLocalBounds().height);
}

float Credit::sceneWidth() const
{
    return static_cast<float>(shell().scene().getSize().x);
}

int Credit::sceneHeight() const
{
    return static_cast<int>(shell().scene().getSize().y);
}

} // namespace vrk
