#include "IngameFixture.hpp"

#include "tavric/model/Collection.hpp"
#include "tavric/model/Tavric.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>
#include <SFML/Graphics/Image.hpp>

#include <deque>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace vrk {
namespace testing {

namespace {
namespace fs = std::filesystem;

// Every test process writes its own copy: ctest runs processes side by side.
struct ResourceDirectory {
    ResourceDirectory()
    {
        path = std::string(VELMORA_BINARY_DIR) + "/ingame-test-res-" + std::to_string(getpid()) + "/";
        fs::create_directories(path + "res/face");
        // Sheets: every tile a colour of its own so pictures can be told apart.
        const struct {
            const char* file;
            unsigned w, h;
        } images[] = {{"res/chipset0.png", 1200, 240},
                      {"res/chipset0_obj.png", 1200, 240},
                      {"res/chipset0_ceiling.png", 1200, 240},
                      {"res/wall_or_not.png", 1200, 120},
                      {"res/chipset_event.png", 1200, 240},
                      {"res/monster_chipset.png", 1200, 120},
                      {"res/runbar.png", 200, 64},
                      {"res/maverick.png", 1080, 240},
                      {"res/lightning.png", 360, 120},
                      {"res/lifebar.png", 400, 93},
                      {"res/hunter.png", 480, 240},
                      {"res/face/hunter.png", 300, 300},
                      {"res/face/maverick.png", 300, 300},
                      {"res/face/doctor.png", 300, 300},
                      {"res/shot.png", 63, 24}};
        for (const auto& image : images) {
            sf::Image picture;
            picture.create(image.w, image.h);
            for (unsigned y = 0; y < image.h; ++y)
                for (unsigned x = 0; x < image.w; ++x) {
                    const unsigned tile = (y / 120) * 10 + x / 120;
                    picture.setPixel(x, y,
                                     sf::Color(static_cast<sf::Uint8>(40 + tile * 9),
                                               static_cast<sf::Uint8>(200 - tile * 7),
                                               static_cast<sf::Uint8>(90 + (x + y) % 60), 255));
                }
            picture.saveToFile(path + image.file);
        }
        const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        fs::copy_file(font, path + "res/error_font.ttf", fs::copy_options::overwrite_existing);
        fs::copy_file(font, path + "res/text_font.ttf", fs::copy_options::overwrite_existing);
        // Long enough to stay playing for the whole of a test.
        const std::vector<sf::Int16> silence(8000 * 20, 0);
        for (const char* file : {"res/shot.wav", "res/bang.ogg", "res/buster.ogg", "res/disrupt.ogg", "res/alert.ogg",
                                 "res/heal.ogg", "res/maintheme.ogg", "res/dark.ogg", "res/victory.ogg"}) {
            sf::OutputSoundFile out;
            if (out.openFromFile(path + file, 8000, 1))
                out.write(silence.data(), silence.size());
        }
    }
    ~ResourceDirectory()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string path;
};
} // namespace

const std::string& testResourceDirectory()
{
    static ResourceDirectory directory;
    return directory.path;
}

TestMap::TestMap(int width, int height) : width(width), height(height)
{
    for (int i = 0; i < LayerCount; ++i) {
        layers[i].assign(static_cast<std::size_t>(width) * height, 0);
        codes[i].assign(static_cast<std::size_t>(width) * height, 0);
    }
    layers[GroundLayer].assign(static_cast<std::size_t>(width) * height, 1);
}

TestMap::TestMap(const std::vector<std::string>& rows)
    : TestMap(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()))
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            switch (rows[y][x]) {
            case '#':
                set(WallLayer, x, y, WallCell);
                break;
            case 'D':
                set(WallLayer, x, y, ClosedDoor);
                break;
            case 'O':
                set(WallLayer, x, y, OpenDoor);
                break;
            case 'h':
                setCode(MonsterLayer, x, y, HunterCode);
                break;
            case 'x':
                setCode(MonsterLayer, x, y, HunterHCode);
                break;
            case 'y':
                setCode(MonsterLayer, x, y, HunterVCode);
                break;
            case 's':
                setCode(MonsterLayer, x, y, HunterSquareCode);
                break;
            default:
                break;
            }
        }
}

TestMap roomWithWalledUpHunters(int width, int height)
{
    std::vector<std::string> rows(static_cast<std::size_t>(height), "#" + std::string(width - 2, '.') + "#");
    rows.front() = rows.back() = std::string(width, '#');
    rows[1] = "#h#" + std::string(width - 6, '.') + "#x#";
    rows[2] = "###" + std::string(width - 6, '.') + "###";
    return TestMap(rows);
}

std::vector<int> walkingSteps(const MapRecord& map, sf::Vector2i from, bool throughDoors)
{
    std::vector<int> steps(static_cast<std::size_t>(map.width) * map.height, -1);
    const auto free = [&](sf::Vector2i c) {
        const int wall = map.value(WallLayer, c.x, c.y);
        return map.contains(c.x, c.y) && (!map.blocked(c.x, c.y) || (throughDoors && wall == ClosedDoor));
    };
    const auto at = [&](sf::Vector2i c) { return static_cast<std::size_t>(c.y) * map.width + c.x; };
    if (!free(from))
        return steps;
    std::deque<sf::Vector2i> queue{from};
    steps[at(from)] = 0;
    while (!queue.empty()) {
        const sf::Vector2i c = queue.front();
        queue.pop_front();
        for (const sf::Vector2i d : {sf::Vector2i(1, 0), sf::Vector2i(-1, 0), sf::Vector2i(0, 1), sf::Vector2i(0, -1)})
            if (free(c + d) && steps[at(c + d)] < 0) {
                steps[at(c + d)] = steps[at(c)] + 1;
                queue.push_back(c + d);
            }
    }
    return steps;
}

void writeCollection(zul::Tavric& field, const std::string& name, const std::vector<long long>& values)
{
    zul::Tavric& layer = field.child(name);
    layer.setKind(7);
    zul::Collection* collection = layer.makeCollection();
    for (const long long value : values)
        collection->appendInt(value);
}

void TestMap::write(zul::Tavric& field) const
{
    field.child(WidthKey).setInt(width);
    field.child(HeightKey).setInt(height);
    zul::Tavric& layersField = field.child(LayersKey);
    for (int i = 0; i < LayerCount; ++i) {
        std::vector<long long> values(layers[i].size());
        for (std::size_t c = 0; c < values.size(); ++c)
            values[c] = codes[i][c] != 0 ? codes[i][c] : documentCode(i, layers[i][c]);
        writeCollection(layersField, layerKey(i), values);
    }
    if (start) {
        field.child(StartKey).child(StartColumnKey).setInt(start->x);
        field.child(StartKey).child(StartRowKey).setInt(start->y);
    }
}

void IngameTest::SetUp()
{
    program = std::make_unique<Program>();
    ASSERT_TRUE(program->scene().create(SceneWidth, SceneHeight));
    program->setOption("Sound", "False");
    // The game's first rules, which most tests check; a test of the easier ones chooses them.
    program->settings().difficulty = Difficulty::Classic;
    auto module = std::make_unique<Ingame>(*program);
    game = module.get();
    const int state = program->registerModule("ingame", std::move(module));
    ProgramProbe::stateStack(*program).push(program->quitState());
    ProgramProbe::stateStack(*program).push(state);
    game->setLoadingScreenShown(false);
    game->setResourceDirectory(testResourceDirectory());
    // Leaving play saves the user data: never into the run directory the tests start in.
    const std::string userData = testResourceDirectory() + "data.vrk";
    std::remove(userData.c_str());
    program->setUserDataFiles(UserDataFiles{userData, userData});
}

bool IngameTest::startWith(const TestMap& map, bool keepOpening)
{
    // As a restart does: the previous run's hunters go first.
    game->stop();
    map.write(program->configDocument().child("Maps").child("M0"));
    const bool started = game->start();
    if (started && !keepOpening)
        game->tasks().clear();
    return started;
}

void IngameTest::step(int count)
{
    for (int i = 0; i < count; ++i)
        game->update(0);
}

void IngameTest::press(sf::Keyboard::Key key)
{
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key = sf::Event::KeyEvent{key, false, false, false, false};
    program->dispatchEvent(event);
}

void IngameTest::click(sf::Mouse::Button button, int x, int y)
{
    sf::Event event;
    event.type = sf::Event::MouseButtonPressed;
    event.mouseButton = sf::Event::MouseButtonEvent{button, x, y};
    program->dispatchEvent(event);
}

void ShippedGameTest::SetUp()
{
    IngameTest::SetUp();
    if (!std::ifstream("lev/config.tvr"))
        GTEST_SKIP() << "no generated content in " << VELMORA_RUN_DIR;
    game->setResourceDirectory("");
    ASSERT_TRUE(program->loadConfiguration());
    program->chooseLanguage();
    ASSERT_TRUE(game->start());
}

} // namespace testing
} // namespace vrk
