#include "game/World.hpp"

#include "game/Tuning.hpp"
#include "game/monsters/Hunter.hpp"
#include "tavric/model/Collection.hpp"
#include "tavric/model/Tavric.hpp"

#include <algorithm>
#include <climits>
#include <ostream>

namespace vrk {

namespace {
// Far beyond any map the game ships; keeps width x height and the scene coordinates of every
// cell well inside int and float precision.
constexpr long long MaxMapSide = 1000;
constexpr double MonsterHeading = 90.0;

// A cell in a message: "(12, 3)", so that (1, 23) and (12, 3) read apart.
struct CellText {
    long long column, row;
};

std::ostream& operator<<(std::ostream& out, CellText cell)
{
    return out << '(' << cell.column << ", " << cell.row << ')';
}

bool incorrectMap(std::ostream& errors, int column, int row)
{
    errors << "Map format is incorrect " << CellText{column, row} << std::endl;
    return false;
}

std::unique_ptr<Monster> makeMonster(long long code, GameContext& game, sf::Vector2f position)
{
    HunterKind kind;
    if (!hunterKindOfCode(code, kind))
        return nullptr;
    return std::make_unique<Hunter>(game, position, MonsterHeading, kind);
}

// Keeps one axis of the camera on the map; a map narrower than the scene pins it to 0.
float clampAxis(float position, int cells, unsigned sceneSize)
{
    const float mapSize = static_cast<float>(TileSize) * static_cast<float>(cells);
    const float scene = static_cast<float>(sceneSize);
    if (position < 0.f)
        return 0.f;
    if (mapSize < scene + position)
        position = mapSize - scene;
    return std::max(position, 0.f);
}
} // namespace

// ---- loading ----

World::World()
{
    maps.push_back(std::make_unique<MapRecord>());
}

World::~World() = default;

bool World::load(zul::Tavric& mapsField, GameContext& game, const std::function<void()>& progress,
                 std::ostream& errors)
{
    const std::size_t count = mapsField.childCount();
    // Records of maps gone from the document go with their monsters; slot 0 always stays.
    maps.resize(std::max<std::size_t>(count, 1));
    for (std::unique_ptr<MapRecord>& record : maps)
        if (!record)
            record = std::make_unique<MapRecord>();
    loaded = 0;
    if (count == 0) {
        maps[0] = std::make_unique<MapRecord>();
        errors << "No map under \"" << MapsKey << "\": the game plays an empty one." << std::endl;
    }
    for (auto it = mapsField.childrenBegin(zul::publicUser); it != mapsField.childrenEnd(); ++it) {
        if (!loadMap(*it->second, *maps[static_cast<std::size_t>(loaded)], game, progress, errors))
            return false;
        ++loaded;
    }
    return true;
}

bool World::loadMap(zul::Tavric& field, MapRecord& record, GameContext& game,
                    const std::function<void()>& progress, std::ostream& errors)
{
    zul::Tavric& layersField = field.child(LayersKey, zul::publicUser);
    progress();
    const long long width = field.child(WidthKey, zul::publicUser).getInt(zul::publicUser);
    const long long height = field.child(HeightKey, zul::publicUser).getInt(zul::publicUser);
    if (width < 0 || height < 0 || width > MaxMapSide || height > MaxMapSide) {
        errors << "Map format is incorrect: Width and Height must lie between 0 and " << MaxMapSide << "."
               << std::endl;
        return false;
    }
    const std::size_t cells = static_cast<std::size_t>(width * height);
    // The walls remembered stay remembered when the same map is read again; a map of another
    // shape starts unseen, or old marks would land on other cells.
    if (record.width != width || record.height != height || record.explored.size() != cells)
        record.explored.assign(cells, 0);
    record.width = static_cast<int>(width);
    record.height = static_cast<int>(height);

    auto child = layersField.childrenBegin(zul::publicUser);
    const auto end = layersField.childrenEnd();
    for (int i = 0; i < LayerCount; ++i) {
        std::vector<int>& layer = record.layers[i];
        if (i != MonsterLayer)
            layer.assign(cells, 0);
        if (child == end)
            continue;
        zul::Tavric& layerField = *child->second;
        ++child;
        // A layer's numbers are read where the document holds them, without making a field of
        // each cell; anything else in a readable layer, and every cell of one that is not, as a field.
        const zul::Collection* cellsHeld =
            layerField.hasRight(zul::publicUser, zul::RightRead) ? layerField.getCollection() : nullptr;
        for (int y = 0; y < record.height; ++y) {
            for (int x = 0; x < record.width; ++x) {
                const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
                int64_t code = 0;
                if (!cellsHeld || !cellsHeld->plainInt(index, code)) {
                    zul::Tavric* element = layerField.childAt(index);
                    if (!element)
                        return incorrectMap(errors, x, y);
                    code = element->getInt(zul::publicUser);
                }
                if (i == MonsterLayer) {
                    const sf::Vector2f position(static_cast<float>(x * TileSize), static_cast<float>(y * TileSize));
                    if (std::unique_ptr<Monster> monster = makeMonster(code, game, position))
                        record.monsters.push_back(std::move(monster));
                } else {
                    layer[index] = static_cast<int>(std::min<long long>(code <= 0 ? 0 : layerValue(i, code), INT_MAX));
                }
            }
        }
    }
    readStart(field, record, errors);
    return true;
}

void World::readStart(zul::Tavric& field, MapRecord& record, std::ostream& errors)
{
    record.start = PlayerStart;
    if (!field.exists(StartKey))
        return;
    zul::Tavric& start = field.child(StartKey, zul::publicUser);
    const long long column = start.child(StartColumnKey, zul::publicUser).getInt(zul::publicUser);
    const long long row = start.child(StartRowKey, zul::publicUser).getInt(zul::publicUser);
    const char* problem = nullptr;
    if (column < 0 || row < 0 || column >= record.width || row >= record.height)
        problem = "is off the map";
    else if (record.blocked(static_cast<int>(column), static_cast<int>(row)))
        problem = "is not on free floor";
    if (problem) {
        errors << "Map " << field.getName() << ": the start " << CellText{column, row} << " " << problem
               << "; the player starts at (" << PlayerStart.x << ", " << PlayerStart.y << ")." << std::endl;
        return;
    }
    record.start = sf::Vector2f(static_cast<float>(column * TileSize + TileSize / 2),
                                static_cast<float>(row * TileSize + TileSize / 2));
}

void World::clearObjects()
{
    for (const std::unique_ptr<MapRecord>& record : maps)
        record->clearObjects();
}

void World::clearOtherSlots()
{
    for (std::size_t i = 0; i < maps.size(); ++i)
        if (static_cast<int>(i) != current)
            maps[i]->clearObjects();
}

// ---- the view ----

void World::clampCamera(sf::Vector2u sceneSize)
{
    view.x = clampAxis(view.x, map().width, sceneSize.x);
    view.y = clampAxis(view.y, map().height, sceneSize.y);
}

void World::follow(sf::Vector2f target, sf::Vector2u sceneSize)
{
    view.x = target.x - static_cast<float>(sceneSize.x) / 2.f;
    view.y = target.y - static_cast<float>(sceneSize.y) / 2.f;
    clampCamera(sceneSize);
}

CellRange World::visibleCells(sf::Vector2u sceneSize) const
{
    const double cx = view.x;
    const double cy = view.y;
    CellRange range;
    range.x0 = std::max(0, static_cast<int>((cx - 1.0) / TileSize));
    range.y0 = std::max(0, static_cast<int>((cy - 1.0) / TileSize));
    range.x1 = std::min(map().width - 1, static_cast<int>((sceneSize.x + cx + 1.0) / TileSize));
    range.y1 = std::min(map().height - 1, static_cast<int>((sceneSize.y + cy + 1.0) / TileSize));
    return range;
}

// ---- monsters and bullets ----

void World::hurtMonstersOnClosedDoors(int amount)
{
    MapRecord& record = map();
    for (const auto& monster : record.monsters)
        if (record.wallAt(monster->position()) == ClosedDoor)
            monster->damage(amount);
}

void World::stepMonsters()
{
    MapRecord& record = map();
    // Indexed: a step may add bullets, never monsters, but keep it safe either way.
    for (std::size_t i = 0; i < record.monsters.size(); ++i)
        if (record.monsters[i]->life() > 0)
            record.monsters[i]->step();
    for (auto bullet = record.bullets.begin(); bullet != record.bullets.end();) {
        if ((*bullet)->step())
            bullet = record.bullets.erase(bullet);
        else
            ++bullet;
    }
}

void World::addBullet(std::unique_ptr<Monster> bullet)
{
    map().bullets.push_back(std::move(bullet));
}

void World::damageMonstersNear(sf::Vector2f point, float radiusSquared, int amount, sf::Vector2f player,
                               float touching)
{
    for (const auto& monster : map().monsters) {
        const sf::Vector2f d = monster->position() - point;
        const sf::Vector2f body = monster->position() - player;
        if (d.x * d.x + d.y * d.y < radiusSquared || body.x * body.x + body.y * body.y < touching * touching)
            monster->damage(amount);
    }
}

bool World::allMonstersDead() const
{
    const auto& monsters = map().monsters;
    return std::none_of(monsters.begin(), monsters.end(),
                        [](const std::unique_ptr<Monster>& monster) { return monster->life() != 0; });
}

int World::monstersLeft() const
{
    const auto& monsters = map().monsters;
    return static_cast<int>(std::count_if(monsters.begin(), monsters.end(),
                                          [](const std::unique_ptr<Monster>& monster) { return monster->life() != 0; }));
}

void World::drawMonsters(sf::RenderTarget& target) const
{
    for (const auto& monster : map().monsters)
        target.draw(*monster);
}

void World::drawMonstersNear(sf::RenderTarget& target, sf::Vector2f point, float radius) const
{
    for (const auto& monster : map().monsters) {
        const sf::Vector2f d = monster->position() - point;
        if (monster->life() > 0 && d.x * d.x + d.y * d.y < radius * radius)
            target.draw(*monster);
    }
}

void World::drawBullets(sf::RenderTarget& target) const
{
    // Those that batch go out in one draw: a frame may hold hundreds.
    batched.setPrimitiveType(sf::Triangles);
    batched.clear();
    const sf::Texture* texture = nullptr;
    for (const auto& bullet : map().bullets)
        if (!bullet->batch(batched, texture))
            target.draw(*bullet);
    if (batched.getVertexCount() > 0)
        target.draw(batched, sf::RenderStates(texture));
}

} // namespace vrk
