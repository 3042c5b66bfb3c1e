// How a frame's cost grows with the work: whole frames (update, draw, present) of the shipped
// map beside a generated 512 x 512 map holding 12, 100 and 1,000 hunters with 200 bullets in
// flight, each frame also split by stage; and the time to load that map. The map is written as
// a map source, compiled by the map tool's own code and read by the game's loader, as a
// shipped map is. Prints a table; run under a display at 1920 x 1080.
#include "game/monsters/Bullet.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tests/shell/ProgramProbe.hpp"

#include "FrameClock.hpp"
#include "GeneratedMap.hpp"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vrk;
using bench::finishDrawing;
using bench::mapsDocument;
using bench::Side;
using bench::median;
using bench::Sample;
using bench::Stopwatch;

constexpr int BulletsInFlight = 200;
constexpr int WarmUpFrames = 20;
constexpr int MeasuredFrames = 100;

struct Session : bench::GameSession {
    // Reads a "Maps" document as the game reads its configuration, and plays its map; the
    // time of the parse and of the loader.
    bool play(const std::string& text, Sample& parseTime, Sample& loadTime)
    {
        document = std::make_unique<zul::Tavric>(&vrk::testing::ProgramProbe::dictionary(*program));
        const Stopwatch parse;
        if (!zul::parse(*document, text))
            return false;
        parseTime = parse.read();
        game->world().clearObjects();
        const Stopwatch load;
        if (!game->world().load(document->child("Maps"), *game, [] {}, program->errors()))
            return false;
        loadTime = load.read();
        game->restart();
        settle();
        return game->world().mapCount() == 1;
    }
    // Keeps the frames alike: the player never falls, and bullets stay in flight across the view,
    // fired from round the player outward so they do not end on it.
    void keepUp(std::size_t frame, int bullets)
    {
        game->player().heal(game->rules().maxLife, game->rules().maxLife);
        const sf::Vector2f centre = game->player().position();
        auto& flying = game->world().map().bullets;
        for (std::size_t k = 0; static_cast<int>(flying.size()) < bullets; ++k) {
            const double angle = static_cast<double>((frame * 37 + k * 101) % 360) * Pi / 180.0;
            const float reach = 150.f + static_cast<float>((frame + k * 53) % 600);
            const sf::Vector2f from(centre.x + reach * static_cast<float>(std::cos(angle)),
                                    centre.y + reach * static_cast<float>(std::sin(angle)) * 0.5f);
            game->world().addBullet(std::make_unique<Bullet>(*game, from, angle));
        }
        // The pointer circles the player, so the light sweeps the map as in play.
        const float turn = static_cast<float>(frame % 40) * 0.157f;
        vrk::testing::ProgramProbe::mousePosition(*program) = sf::Vector2f(960.f + 400.f * std::cos(turn), 540.f + 400.f * std::sin(turn));
    }

    std::unique_ptr<zul::Tavric> document;
};

// Each stage of a frame, the renderer finished after each (so the stages add up to more than a
// whole frame, where the renderer overlaps the next stage's CPU work).
struct StageClock : FrameObserver {
    explicit StageClock(sf::RenderTarget& target, std::map<std::string, std::vector<Sample>>& times)
        : target(target), times(times)
    {
    }
    void lap(const std::string& name)
    {
        finishDrawing(target);
        const Sample sample = watch.read();
        times[name].push_back({sample.wall - last.wall, sample.cpu - last.cpu});
        last = sample;
    }
    void stageDrawn(FrameStage stage) override
    {
        static const char* const names[] = {"light", "tiles", "characters", "ceiling", "fog", "interface"};
        lap(names[static_cast<int>(stage)]);
    }
    sf::RenderTarget& target;
    std::map<std::string, std::vector<Sample>>& times;
    Stopwatch watch;
    Sample last{0.0, 0.0};
};

const char* const stageOrder[] = {"update", "light", "tiles", "characters", "ceiling", "fog", "interface", "present"};

struct Row {
    std::string what;
    int hunters = 0;
    std::size_t bullets = 0;
    // Frames that showed the red flash of a hit at the screen's edges.
    int flashed = 0;
    std::vector<Sample> frames;
    std::map<std::string, std::vector<Sample>> stages;
};

// Whole frames as the loop runs them, then frames split by stage.
Row measure(Session& s, const std::string& what, int bullets)
{
    Row row;
    row.what = what;
    row.hunters = s.game->world().monsterCount();
    std::size_t frame = 0;
    std::size_t bulletSum = 0;
    for (int i = 0; i < WarmUpFrames + MeasuredFrames; ++i) {
        s.keepUp(frame++, bullets);
        bulletSum += s.game->world().map().bullets.size();
        row.flashed += i >= WarmUpFrames && s.game->hud().flash() > 0;
        const Stopwatch watch;
        s.program->runPass(vrk::testing::ProgramProbe::frameTime(*s.program));
        finishDrawing(s.program->window());
        if (i >= WarmUpFrames)
            row.frames.push_back(watch.read());
    }
    row.bullets = bulletSum / static_cast<std::size_t>(WarmUpFrames + MeasuredFrames);
    for (int i = 0; i < MeasuredFrames; ++i) {
        s.keepUp(frame++, bullets);
        StageClock clock(s.program->scene(), row.stages);
        s.game->update(0);
        clock.lap("update");
        s.game->observeFrames(&clock);
        s.game->draw();
        s.game->observeFrames(nullptr);
        s.program->drawCursor();
        s.program->present();
        clock.lap("present");
    }
    if (s.game->paused() || !s.game->player().alive())
        std::fprintf(stderr, "%s: the game was paused or over while measured\n", what.c_str());
    return row;
}

} // namespace

// Arguments, when given, name the hunter counts to measure (for a profile of one size).
int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {12, 100, 1000};
    Session s;
    if (!s.ready) {
        std::fprintf(stderr, "the game could not start from the run directory %s\n", VELMORA_RUN_DIR);
        return 1;
    }
    std::vector<Row> rows;
    rows.push_back(measure(s, "shipped map", 0));
    std::vector<std::pair<Sample, Sample>> loads;
    for (const int hunters : counts) {
        Sample parseTime{}, loadTime{};
        if (!s.play(mapsDocument(hunters), parseTime, loadTime)) {
            std::fprintf(stderr, "the generated map with %d hunters did not load\n", hunters);
            return 1;
        }
        loads.emplace_back(parseTime, loadTime);
        rows.push_back(measure(s, std::to_string(Side) + " x " + std::to_string(Side), BulletsInFlight));
    }

    const sf::Vector2u window = s.program->window().getSize(), scene = s.program->scene().getSize();
    std::printf("window %u x %u, scene %u x %u; medians of %d frames after %d, process CPU (all renderer threads)\n\n",
                window.x, window.y, scene.x, scene.y, MeasuredFrames, WarmUpFrames);
    std::printf("%-12s %7s %7s %5s %12s %12s |", "map", "hunters", "bullets", "hit", "frame CPU", "frame wall");
    for (const char* stage : stageOrder)
        std::printf(" %10s", stage);
    std::printf("\n");
    for (const Row& row : rows) {
        std::printf("%-12s %7d %7zu %4d%% %9.2f ms %9.2f ms |", row.what.c_str(), row.hunters, row.bullets,
                    row.flashed * 100 / MeasuredFrames, median(row.frames, &Sample::cpu), median(row.frames, &Sample::wall));
        for (const char* stage : stageOrder) {
            const auto found = row.stages.find(stage);
            std::printf(" %10.2f", found == row.stages.end() ? 0.0 : median(found->second, &Sample::cpu));
        }
        std::printf("\n");
    }
    std::printf("\n(hit: frames showing the red flash of a hit on the player, who is healed each frame; stage\n"
                " columns: ms of process CPU each, renderer finished after each stage)\n\n");
    std::printf("loading the %d x %d map: parse of its document, then the game's loader, ms CPU (wall)\n", Side,
                Side);
    for (std::size_t i = 0; i < loads.size(); ++i)
        std::printf("  %4d hunters: parse %8.1f (%8.1f)  load %8.1f (%8.1f)  total %8.1f (%8.1f)\n", counts[i],
                    loads[i].first.cpu, loads[i].first.wall, loads[i].second.cpu, loads[i].second.wall,
                    loads[i].first.cpu + loads[i].second.cpu, loads[i].first.wall + loads[i].second.wall);
    return 0;
}
