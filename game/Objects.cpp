#include "game/Objects.hpp"

#include "game/Events.hpp"
#include "game/GuideTexts.hpp"
#include "game/Tuning.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

namespace vrk {

namespace {

// The events that answer the analyse cursor themselves (their texts are the map's).
bool eventDescribes(int event)
{
    return event == DoorPanelEvent || event == BooksEvent || event == RemoteDoorPanelEvent;
}

struct Description {
    int tile;
    const LogText* text;
};
const Description descriptions[] = {
    {ReadingDeskTile, &ReadingDeskText},
    {LabBenchTile, &LabBenchText},
    {ConsoleTile, &ConsoleText},
    {CrateTile, &CrateText},
    {BarrelsTile, &BarrelsText},
    {PlantTile, &PlantText},
    {OperatingTableTile, &OperatingTableText},
    {TankTile, &TankText},
    {CablesTile, &CablesText},
    {ChairTile, &ChairText},
    {ScorchTile, &ScorchText},
    {ServerRackTile, &ServerRackText},
    {PapersTile, &PapersText},
    {CabinetTile, &CabinetText},
    {BedTile, &BedText},
};

// Drawn in the activate cursor's green, inside the cell's edge.
const sf::Color HighlightColour(130, 235, 120);
constexpr float HighlightInset = 6.f;
constexpr float HighlightThickness = 5.f;

} // namespace

const LogText* cellDescription(const MapRecord& map, int column, int row, bool& hatch)
{
    hatch = false;
    const int event = map.value(EventLayer, column, row);
    if (eventDescribes(event))
        return nullptr;
    const int tile = map.value(ObjectLayer, column, row);
    if (tile == HatchTile || event == VictoryTextEvent) {
        hatch = true;
        return nullptr;
    }
    for (const Description& description : descriptions)
        if (description.tile == tile)
            return description.text;
    const int wall = map.value(WallLayer, column, row);
    if (wall == ClosedDoor || wall == OpenDoor)
        return &DoorText;
    if (wall == WindowCell)
        return &WindowText;
    return nullptr;
}

bool cabinetWithinReach(int column, int row, sf::Vector2f player, bool fromTouchingCells)
{
    const float dx = player.x - (column * TileSize + TileSize / 2.f);
    const float dy = player.y - (row * TileSize + TileSize / 2.f);
    return dx * dx + dy * dy < CabinetReachSquared ||
           (fromTouchingCells && cellsTouch({cellOf(player.x), cellOf(player.y)}, {column, row}));
}

bool usableFrom(const MapRecord& map, int column, int row, sf::Vector2f player, bool fromTouchingCells)
{
    if (!map.contains(column, row))
        return false;
    PanelWork work;
    if (panelWorkAt(map, column, row, work))
        return panelWorksFrom(map, work, player, fromTouchingCells);
    return map.value(ObjectLayer, column, row) == CabinetTile &&
           cabinetWithinReach(column, row, player, fromTouchingCells);
}

void ObjectHighlight::step(const MapRecord& map, sf::Vector2f pointer, sf::Vector2f player, bool fromTouchingCells)
{
    where = sf::Vector2i(cellOf(pointer.x), cellOf(pointer.y));
    shown = usableFrom(map, where.x, where.y, player, fromTouchingCells);
}

void ObjectHighlight::draw(sf::RenderTarget& target, sf::Vector2f camera) const
{
    if (!shown)
        return;
    const float side = TileSize - 2.f * HighlightInset - 2.f * HighlightThickness;
    sf::RectangleShape frame(sf::Vector2f(side, side));
    frame.setPosition(where.x * TileSize - camera.x + HighlightInset + HighlightThickness,
                      where.y * TileSize - camera.y + HighlightInset + HighlightThickness);
    frame.setFillColor(sf::Color::Transparent);
    frame.setOutlineColor(HighlightColour);
    frame.setOutlineThickness(HighlightThickness);
    target.draw(frame);
}

} // namespace vrk
