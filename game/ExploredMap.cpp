#include "game/ExploredMap.hpp"

#include "game/Events.hpp"
#include "game/Objects.hpp"
#include "game/Text.hpp"
#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace vrk {

namespace {

// Rays of the map's record, per radian of the cone: one every half degree leaves no cell of the
// full reach between two rays.
constexpr double MapRaysPerRadian = 114.6;

// The map's place on the scene: its title above, the legend and the hint below.
constexpr float MapTop = 130.f;
constexpr float MapBottomMargin = 140.f;
constexpr float MapSideMargin = 80.f;
constexpr unsigned TitleSize = 64;
constexpr unsigned LegendSize = 30;
constexpr float LegendSwatch = 26.f;
constexpr float LegendGap = 60.f;

const sf::Color Shade(8, 10, 14, 235);
const sf::Color FloorColour(58, 66, 76);
const sf::Color WallColour(150, 165, 182);
const sf::Color WindowColour(110, 190, 225);
const sf::Color ClosedDoorColour(235, 135, 55);
const sf::Color OpenDoorColour(90, 215, 110);
const sf::Color PanelColour(250, 215, 60);
const sf::Color HatchColour(93, 255, 156);
const sf::Color PlayerColour(255, 70, 60);
const sf::Color CabinetColour(235, 240, 245);
const sf::Color CabinetCross(220, 40, 40);
const sf::Color HunterColour(200, 60, 255);

// The mark's colour filling the cell, and the one of its inner square (marks on a wall or a
// floor: a panel, the hatch), or transparent.
void markColours(MapMark mark, sf::Color& fill, sf::Color& inner)
{
    inner = sf::Color::Transparent;
    switch (mark) {
    case MapMark::Floor:
        fill = FloorColour;
        break;
    case MapMark::Wall:
        fill = WallColour;
        break;
    case MapMark::Window:
        fill = WindowColour;
        break;
    case MapMark::ClosedDoor:
        fill = ClosedDoorColour;
        break;
    case MapMark::OpenDoor:
        fill = OpenDoorColour;
        break;
    case MapMark::Panel:
        fill = WallColour;
        inner = PanelColour;
        break;
    case MapMark::Hatch:
        fill = FloorColour;
        inner = HatchColour;
        break;
    case MapMark::Cabinet:
        fill = CabinetColour;
        inner = CabinetCross;
        break;
    default:
        fill = sf::Color::Transparent;
        break;
    }
}

void addQuad(sf::VertexArray& quads, sf::Vector2f at, float side, sf::Color colour)
{
    quads.append(sf::Vertex(at, colour));
    quads.append(sf::Vertex(sf::Vector2f(at.x + side, at.y), colour));
    quads.append(sf::Vertex(sf::Vector2f(at.x + side, at.y + side), colour));
    quads.append(sf::Vertex(sf::Vector2f(at.x, at.y + side), colour));
}

} // namespace

MapMemory& ExploredMap::memoryFor(int slot, const MapRecord& map)
{
    if (static_cast<std::size_t>(slot) >= memories.size())
        memories.resize(static_cast<std::size_t>(slot) + 1);
    MapMemory& memory = memories[static_cast<std::size_t>(slot)];
    if (memory.width != map.width || memory.height != map.height) {
        memory = MapMemory();
        memory.width = map.width;
        memory.height = map.height;
        memory.cells.assign(static_cast<std::size_t>(map.width) * map.height, MapMark::Unseen);
    }
    if (memory.hunterSeen.size() != map.monsters.size()) {
        memory.hunterSeen.assign(map.monsters.size(), false);
        memory.hunterPlace.assign(map.monsters.size(), sf::Vector2f());
    }
    return memory;
}

void ExploredMap::see(MapMemory& memory, const MapRecord& map, int column, int row)
{
    litStep[static_cast<std::size_t>(row) * memory.width + column] = recordStep;
    const int event = map.value(EventLayer, column, row);
    MapMark mark = MapMark::Floor;
    switch (map.value(WallLayer, column, row)) {
    case WindowCell:
        mark = MapMark::Window;
        break;
    case WallCell:
        mark = event == DoorPanelEvent || event == RemoteDoorPanelEvent ? MapMark::Panel
               : map.value(ObjectLayer, column, row) == CabinetTile  ? MapMark::Cabinet
                                                                      : MapMark::Wall;
        break;
    case ClosedDoor:
        mark = MapMark::ClosedDoor;
        break;
    case OpenDoor:
        mark = MapMark::OpenDoor;
        break;
    default:
        if (event == VictoryTextEvent || map.value(ObjectLayer, column, row) == HatchTile)
            mark = MapMark::Hatch;
        break;
    }
    memory.cells[static_cast<std::size_t>(row) * memory.width + column] = mark;
}

void ExploredMap::record(int slot, const MapRecord& map, sf::Vector2f player, double facing, double reach,
                         double halfCone)
{
    if (slot < 0)
        return;
    MapMemory& memory = memoryFor(slot, map);
    litStep.resize(memory.cells.size());
    // A new mark for this step's cells: earlier steps' marks need no clearing.
    if (++recordStep == 0) {
        std::fill(litStep.begin(), litStep.end(), 0u);
        recordStep = 1;
    }
    const int playerColumn = cellOf(player.x);
    const int playerRow = cellOf(player.y);
    if (map.contains(playerColumn, playerRow))
        see(memory, map, playerColumn, playerRow);
    const int rays = static_cast<int>(2.0 * halfCone * MapRaysPerRadian);
    if (rays > 0 && reach > 0.0 && rays <= 100000)
        castRays(memory, map, player, facing + Pi - halfCone, halfCone, rays, reach);
    for (std::size_t i = 0; i < map.monsters.size(); ++i) {
        const Monster& hunter = *map.monsters[i];
        const int column = cellOf(hunter.position().x);
        const int row = cellOf(hunter.position().y);
        if (hunter.life() <= 0) {
            memory.hunterSeen[i] = false;
        } else if (map.contains(column, row) &&
                   litStep[static_cast<std::size_t>(row) * memory.width + column] == recordStep) {
            memory.hunterSeen[i] = true;
            memory.hunterPlace[i] = hunter.position();
        }
    }
}

void ExploredMap::castRays(MapMemory& memory, const MapRecord& map, sf::Vector2f player, double first,
                           double halfCone, int rays, double reach)
{
    for (int i = 0; i <= rays; ++i) {
        const double angle = first + 2.0 * halfCone * i / rays;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        for (double d = 0.0; d < reach; d += RaySampleStep) {
            const int column = cellOf(player.x + d * c);
            const int row = cellOf(player.y + d * s);
            if (!map.contains(column, row))
                break;
            see(memory, map, column, row);
            const int wall = map.value(WallLayer, column, row);
            if (wall == WallCell || wall == ClosedDoor)
                break;
        }
    }
}

MapMark ExploredMap::mark(int slot, int column, int row) const
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= memories.size())
        return MapMark::Unseen;
    const MapMemory& memory = memories[slot];
    if (column < 0 || row < 0 || column >= memory.width || row >= memory.height)
        return MapMark::Unseen;
    return memory.cells[static_cast<std::size_t>(row) * memory.width + column];
}

bool ExploredMap::hunterLastSeen(int slot, std::size_t hunter, sf::Vector2f& place) const
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= memories.size())
        return false;
    const MapMemory& memory = memories[slot];
    if (hunter >= memory.hunterSeen.size() || !memory.hunterSeen[hunter])
        return false;
    place = memory.hunterPlace[hunter];
    return true;
}

MapMemory ExploredMap::memory(int slot) const
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= memories.size())
        return MapMemory();
    return memories[slot];
}

void ExploredMap::restore(int slot, const MapMemory& memory)
{
    if (slot < 0)
        return;
    if (static_cast<std::size_t>(slot) >= memories.size())
        memories.resize(static_cast<std::size_t>(slot) + 1);
    memories[slot] = memory;
}

int ExploredMap::seenCells(int slot) const
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= memories.size())
        return 0;
    const std::vector<MapMark>& cells = memories[slot].cells;
    return static_cast<int>(cells.size() - static_cast<std::size_t>(std::count(cells.begin(), cells.end(), MapMark::Unseen)));
}

float ExploredMap::cellSize(int width, int height, sf::Vector2u target)
{
    if (width <= 0 || height <= 0)
        return 0.f;
    const float across = (static_cast<float>(target.x) - 2.f * MapSideMargin) / static_cast<float>(width);
    const float down = (static_cast<float>(target.y) - MapTop - MapBottomMargin) / static_cast<float>(height);
    return std::max(1.f, std::floor(std::min(across, down)));
}

sf::Vector2f ExploredMap::origin(int width, int height, sf::Vector2u target)
{
    const float cell = cellSize(width, height, target);
    return sf::Vector2f(std::floor((static_cast<float>(target.x) - cell * static_cast<float>(width)) / 2.f), MapTop);
}

void ExploredMap::draw(sf::RenderTarget& target, const sf::Font& font, int slot, sf::Vector2f player,
                       const std::vector<int>& usedCabinets, const MapWords& words) const
{
    const sf::Vector2f size(target.getSize());
    sf::RectangleShape shade(size);
    shade.setFillColor(Shade);
    target.draw(shade);

    sf::Text title = outlinedText(font, words.title, TitleSize);
    placeText(title, size.x / 2.f, 30.f, 0.5f);
    target.draw(title);

    if (slot >= 0 && static_cast<std::size_t>(slot) < memories.size() && memories[slot].width > 0) {
        const MapMemory& memory = memories[slot];
        const float cell = cellSize(memory.width, memory.height, target.getSize());
        const sf::Vector2f corner = origin(memory.width, memory.height, target.getSize());
        sf::VertexArray quads(sf::Quads);
        for (int row = 0; row < memory.height; ++row)
            for (int column = 0; column < memory.width; ++column) {
                const int index = row * memory.width + column;
                sf::Color fill, inner;
                markColours(memory.cells[static_cast<std::size_t>(index)], fill, inner);
                if (fill.a == 0)
                    continue;
                // An emptied cabinet: grey where the cross was, as on the wall.
                if (memory.cells[static_cast<std::size_t>(index)] == MapMark::Cabinet &&
                    std::find(usedCabinets.begin(), usedCabinets.end(), index) != usedCabinets.end())
                    inner = UsedCabinetGrey;
                const sf::Vector2f at(corner.x + column * cell, corner.y + row * cell);
                addQuad(quads, at, cell, fill);
                if (inner.a != 0)
                    addQuad(quads, at + sf::Vector2f(cell / 4.f, cell / 4.f), cell / 2.f, inner);
            }
        target.draw(quads);

        // A diamond where each hunter still standing was last seen.
        const float mark = std::max(5.f, cell * 0.4f);
        sf::CircleShape hunter(mark, 4);
        hunter.setOrigin(mark, mark);
        hunter.setFillColor(HunterColour);
        hunter.setOutlineColor(sf::Color::White);
        hunter.setOutlineThickness(1.f);
        for (std::size_t i = 0; i < memory.hunterSeen.size(); ++i)
            if (memory.hunterSeen[i]) {
                hunter.setPosition(corner + memory.hunterPlace[i] * (cell / TileSize));
                target.draw(hunter);
            }

        const float radius = std::max(6.f, cell * 0.45f);
        sf::CircleShape you(radius);
        you.setOrigin(radius, radius);
        you.setPosition(corner + player * (cell / TileSize));
        you.setFillColor(PlayerColour);
        you.setOutlineColor(sf::Color::White);
        you.setOutlineThickness(2.f);
        target.draw(you);
    }

    // The legend: a swatch before each word, the whole row centred.
    const sf::Color swatches[] = {ClosedDoorColour, OpenDoorColour, PanelColour, HatchColour,
                                  CabinetColour,    HunterColour,   PlayerColour};
    std::vector<sf::Text> labels;
    float rowWidth = 0.f;
    for (std::size_t i = 0; i < words.legend.size() && i < std::size(swatches); ++i) {
        labels.push_back(outlinedText(font, words.legend[i], LegendSize));
        rowWidth += LegendSwatch + 12.f + labels.back().getLocalBounds().width + (i > 0 ? LegendGap : 0.f);
    }
    float x = std::floor((size.x - rowWidth) / 2.f);
    const float y = size.y - MapBottomMargin + 30.f;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        sf::RectangleShape swatch(sf::Vector2f(LegendSwatch, LegendSwatch));
        swatch.setPosition(x, y + 6.f);
        swatch.setFillColor(swatches[i]);
        swatch.setOutlineColor(sf::Color::White);
        swatch.setOutlineThickness(1.f);
        target.draw(swatch);
        x += LegendSwatch + 12.f;
        placeText(labels[i], x, y, 0.f);
        target.draw(labels[i]);
        x += labels[i].getLocalBounds().width + LegendGap;
    }

    sf::Text hint = outlinedText(font, words.hint, LegendSize);
    placeText(hint, size.x / 2.f, size.y - 60.f, 0.5f);
    target.draw(hint);
}

} // namespace vrk
