#include "game/Hud.hpp"

#include "game/Menu.hpp"
#include "game/Text.hpp"
#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"

#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <algorithm>
#include <cmath>

namespace vrk {

namespace {

constexpr unsigned LabelSize = 36;
constexpr unsigned CountSize = 44;
constexpr unsigned ObjectiveSize = 32;
constexpr unsigned PausedTitleSize = 110;
constexpr unsigned PausedLineSize = 38;
constexpr unsigned SpottedSize = 90;
constexpr unsigned OfferSize = 44;
// The line stands above the conversation's box, whose top lies at 854 of the 1080 rows.
constexpr float OfferBottom = 0.78f;
constexpr float VignetteDepth = 180.f;
constexpr float MarkerInset = 60.f;
const sf::Color PauseShade(0, 0, 0, 160);
const sf::Color HitRed(220, 20, 20);
const sf::Color SpottedYellow(255, 220, 40);
// Attack, analyse, activate: the colours their cursors are drawn in.
const sf::Color ModeColours[3] = {sf::Color(255, 110, 90), sf::Color(110, 200, 255), sf::Color(130, 235, 120)};

sf::Text outlined(const sf::Font& font, const std::string& words, unsigned size, sf::Color fill = TextFill)
{
    return outlinedText(font, words, size, fill);
}

void place(sf::Text& text, float x, float y, float align)
{
    placeText(text, x, y, align);
}

} // namespace

void Hud::restart()
{
    flashAlpha = 0;
    markerLeft = 0;
    markerShooter = nullptr;
    spottedMarks.clear();
}

void Hud::step(sf::Vector2f player)
{
    flashAlpha = std::max(0, flashAlpha - HitFlashFade);
    markerLeft = std::max(0, markerLeft - 1);
    if (markerLeft == 0)
        markerShooter = nullptr;
    else if (markerShooter)
        aimMarker(player, markerShooter->position());
    for (Mark& mark : spottedMarks)
        --mark.steps;
    spottedMarks.erase(std::remove_if(spottedMarks.begin(), spottedMarks.end(),
                                      [](const Mark& mark) { return mark.steps <= 0 || mark.hunter->life() <= 0; }),
                       spottedMarks.end());
}

void Hud::stepIndicator()
{
    indicatorLeft = std::max(0, indicatorLeft - 1);
}

sf::Vector2f spottedMarkPlace(sf::Vector2f hunter, sf::Vector2u screen)
{
    // Above the hunter, or at the edge of the view nearest it when it stands outside.
    const float half = SpottedSize / 2.f;
    return sf::Vector2f(std::clamp(hunter.x, half, static_cast<float>(screen.x) - half),
                        std::clamp(hunter.y - 60.f - SpottedSize, 0.f, static_cast<float>(screen.y) - SpottedSize));
}

void Hud::hit(int loss, sf::Vector2f player, const sf::Vector2f* source, const Monster* shooter)
{
    if (loss <= 0)
        return;
    // A stronger blow flashes brighter; a weak one never dims a flash still showing.
    flashAlpha = std::max(flashAlpha, std::min(HitFlashMax, HitFlashBase + HitFlashPerLife * loss));
    markerShooter = shooter;
    if (source && *source != player) {
        aimMarker(player, *source);
        markerLeft = HitMarkerSteps;
    }
    if (shooter) {
        aimMarker(player, shooter->position());
        markerLeft = HitMarkerSteps;
    }
}

void Hud::aimMarker(sf::Vector2f player, sf::Vector2f toward)
{
    // A hunter standing on the player gives no direction: the last one stays.
    const sf::Vector2f d = toward - player;
    if (std::fabs(d.x) + std::fabs(d.y) >= 1.f)
        markerDirection = std::atan2(static_cast<double>(d.y), static_cast<double>(d.x));
}

void Hud::spotted(const Monster* hunter)
{
    for (Mark& mark : spottedMarks)
        if (mark.hunter == hunter) {
            mark.steps = SpottedMarkSteps;
            return;
        }
    spottedMarks.push_back(Mark{hunter, SpottedMarkSteps});
}

void Hud::showIndicator(const std::string& text, int percent)
{
    indicatorText = text;
    indicatorPercent = std::clamp(percent, 0, 100);
    indicatorLeft = IndicatorSteps;
}

void Hud::draw(sf::RenderTarget& target, const HudFrame& frame) const
{
    if (flashAlpha > 0)
        drawVignette(target);
    if (markerLeft > 0)
        drawMarker(target, frame.player - frame.camera);
    if (!textFont)
        return;
    const sf::Font& font = *textFont;
    const float width = static_cast<float>(target.getSize().x);

    for (const Mark& mark : spottedMarks) {
        sf::Text bang = outlined(font, "!", SpottedSize, SpottedYellow);
        const sf::Vector2f at = spottedMarkPlace(mark.hunter->position() - frame.camera, target.getSize());
        place(bang, at.x, at.y, 0.5f);
        target.draw(bang);
    }

    // Beside the life bar (20, 20) and the run bar (20, 113), whose full lengths are 400 and 130.
    sf::Text life = outlined(font, frame.lifeLabel, LabelSize);
    place(life, 440.f, 42.f, 0.f);
    target.draw(life);
    sf::Text run = outlined(font, frame.runLabel, LabelSize);
    place(run, 170.f, 122.f, 0.f);
    target.draw(run);
    sf::Text mode = outlined(font, frame.mode, LabelSize, ModeColours[std::clamp(frame.modeIndex, 0, 2)]);
    place(mode, 440.f, 122.f, 0.f);
    target.draw(mode);

    sf::Text hunters = outlined(font, frame.hunters, CountSize);
    place(hunters, width - 30.f, 24.f, 1.f);
    target.draw(hunters);
    if (!frame.objective.empty()) {
        sf::Text objective = outlined(font, frame.objective, ObjectiveSize);
        place(objective, width - 30.f, 84.f, 1.f);
        target.draw(objective);
    }
}

float Hud::offerTop(float sceneHeight)
{
    return std::round(sceneHeight * OfferBottom - 1.5f * OfferSize);
}

void Hud::drawOverlays(sf::RenderTarget& target, const HudFrame& frame) const
{
    if (!textFont)
        return;
    if (!frame.offer.empty()) {
        sf::Text offer = outlined(*textFont, frame.offer, OfferSize);
        const sf::Vector2f size(target.getSize());
        place(offer, size.x / 2.f, offerTop(size.y), 0.5f);
        target.draw(offer);
    }
    if (frame.paused)
        drawPause(target, frame);
    if (indicatorLeft > 0)
        drawIndicator(target);
}

void Hud::drawVignette(sf::RenderTarget& target) const
{
    const sf::Vector2f size(target.getSize());
    const float d = VignetteDepth;
    const sf::Vector2f outer[4] = {{0.f, 0.f}, {size.x, 0.f}, {size.x, size.y}, {0.f, size.y}};
    const sf::Vector2f inner[4] = {{d, d}, {size.x - d, d}, {size.x - d, size.y - d}, {d, size.y - d}};
    sf::Color edge = HitRed;
    edge.a = static_cast<sf::Uint8>(flashAlpha);
    sf::Color clear = HitRed;
    clear.a = 0;
    sf::VertexArray strips(sf::Triangles);
    for (int side = 0; side < 4; ++side) {
        const int next = (side + 1) % 4;
        const sf::Vertex a(outer[side], edge), b(outer[next], edge), c(inner[next], clear), e(inner[side], clear);
        strips.append(a);
        strips.append(b);
        strips.append(c);
        strips.append(a);
        strips.append(c);
        strips.append(e);
    }
    target.draw(strips);
}

void Hud::drawMarker(sf::RenderTarget& target, sf::Vector2f player) const
{
    const sf::Vector2f size(target.getSize());
    const float dx = static_cast<float>(std::cos(markerDirection));
    const float dy = static_cast<float>(std::sin(markerDirection));
    // Where the line from the player toward the source meets a frame just inside the screen.
    const float left = MarkerInset, right = size.x - MarkerInset, top = MarkerInset, bottom = size.y - MarkerInset;
    const sf::Vector2f from(std::clamp(player.x, left, right), std::clamp(player.y, top, bottom));
    float reach = 1e9f;
    if (dx > 1e-6f)
        reach = std::min(reach, (right - from.x) / dx);
    if (dx < -1e-6f)
        reach = std::min(reach, (left - from.x) / dx);
    if (dy > 1e-6f)
        reach = std::min(reach, (bottom - from.y) / dy);
    if (dy < -1e-6f)
        reach = std::min(reach, (top - from.y) / dy);
    const sf::Vector2f at(from.x + dx * reach, from.y + dy * reach);

    sf::ConvexShape arrow(3);
    arrow.setPoint(0, sf::Vector2f(at.x + dx * 40.f, at.y + dy * 40.f));
    arrow.setPoint(1, sf::Vector2f(at.x - dx * 20.f - dy * 34.f, at.y - dy * 20.f + dx * 34.f));
    arrow.setPoint(2, sf::Vector2f(at.x - dx * 20.f + dy * 34.f, at.y - dy * 20.f - dx * 34.f));
    sf::Color fill = HitRed;
    fill.a = static_cast<sf::Uint8>(std::min(255, 80 + 175 * markerLeft / HitMarkerSteps));
    arrow.setFillColor(fill);
    arrow.setOutlineColor(TextOutline);
    arrow.setOutlineThickness(3.f);
    target.draw(arrow);
}

void Hud::drawPause(sf::RenderTarget& target, const HudFrame& frame) const
{
    const sf::Vector2f size(target.getSize());
    sf::RectangleShape shade(size);
    shade.setFillColor(PauseShade);
    target.draw(shade);
    float y = size.y / 2.f - 160.f;
    float goalY = y - 40.f - 56.f * static_cast<float>(frame.pausedGoal.size());
    for (const std::string& words : frame.pausedGoal) {
        sf::Text line = outlined(*textFont, words, PausedLineSize);
        place(line, size.x / 2.f, goalY, 0.5f);
        target.draw(line);
        goalY += 56.f;
    }
    sf::Text title = outlined(*textFont, frame.pausedTitle, PausedTitleSize);
    place(title, size.x / 2.f, y, 0.5f);
    target.draw(title);
    y += 170.f;
    for (const std::string& words : frame.pausedLines) {
        sf::Text line = outlined(*textFont, words, PausedLineSize);
        place(line, size.x / 2.f, y, 0.5f);
        target.draw(line);
        y += 56.f;
    }
    if (frame.pauseMenu)
        frame.pauseMenu->draw(target, *textFont);
}

void Hud::drawIndicator(sf::RenderTarget& target) const
{
    const float centre = static_cast<float>(target.getSize().x) / 2.f;
    sf::Text text = outlined(*textFont, indicatorText, LabelSize);
    place(text, centre, 190.f, 0.5f);
    target.draw(text);
    // Ten cells, one per step of 10.
    for (int i = 0; i < 10; ++i) {
        sf::RectangleShape cell(sf::Vector2f(30.f, 22.f));
        cell.setPosition(centre - 200.f + i * 40.f, 245.f);
        cell.setFillColor(i * 10 < indicatorPercent ? TextFill : sf::Color(60, 60, 60, 200));
        cell.setOutlineColor(TextOutline);
        cell.setOutlineThickness(3.f);
        target.draw(cell);
    }
}

} // namespace vrk
