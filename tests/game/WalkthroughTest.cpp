// The shipped maps played through, one after the other, as a player following them would: walking with the movement
// keys over the floor, opening each door by clicking its panel in activate mode from wherever
// the panel's reach allows, going after every hunter and striking it with the attack button,
// then walking onto the hatch. On classic the player's life is topped up after each step: what is
// checked there is the route and the game's own means of following it. On normal nothing is
// topped up: a death resumes from the last checkpoint and the walk goes on from there.
#include "IngameFixture.hpp"

#include "game/monsters/Monster.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <optional>

namespace vrk {
namespace testing {
namespace {

constexpr int ShippedLevels = 3;
// Close enough to strike: the swing's reach plus the hunter's half body.
constexpr float StrikeDistance = 100.f;
// More deaths than this on one level and the level counts as not won.
constexpr int MostDeaths = 25;
// Steps for the view to settle where the pointer leads it.
constexpr int ViewSettlingSteps = 10;

class Walkthrough : public ShippedGameTest {
protected:
    const MapRecord& map() const { return game->world().map(); }
    sf::Vector2i cellOfPlayer() const
    {
        return {cellOf(game->player().position().x), cellOf(game->player().position().y)};
    }

    // Steps of the shortest walks from the player's cell.
    std::vector<int> stepsFromPlayer() const { return walkingSteps(map(), cellOfPlayer()); }
    int stepsTo(const std::vector<int>& steps, sf::Vector2i cell) const
    {
        return map().contains(cell.x, cell.y) ? steps[static_cast<std::size_t>(cell.y) * map().width + cell.x] : -1;
    }

    // The cells of a shortest walk over free floor from the player's cell to the target, the
    // target last; empty when it cannot be reached.
    std::vector<sf::Vector2i> pathTo(sf::Vector2i target) const
    {
        const std::vector<int> steps = stepsFromPlayer();
        int left = stepsTo(steps, target);
        if (left < 0)
            return {};
        // Back from the target, each time to a neighbour one step nearer the player.
        std::vector<sf::Vector2i> path(static_cast<std::size_t>(left) + 1);
        sf::Vector2i at = target;
        for (path[static_cast<std::size_t>(left)] = at; left > 0; path[static_cast<std::size_t>(--left)] = at)
            for (const sf::Vector2i d :
                 {sf::Vector2i(1, 0), sf::Vector2i(-1, 0), sf::Vector2i(0, 1), sf::Vector2i(0, -1)})
                if (stepsTo(steps, at + d) == left - 1) {
                    at += d;
                    break;
                }
        return path;
    }

    // One step of the game with the movement keys held toward a point (none within 6 units).
    void stepToward(sf::Vector2f point)
    {
        const sf::Vector2f d = point - game->player().position();
        hold(sf::Keyboard::D, d.x > 6.f);
        hold(sf::Keyboard::A, d.x < -6.f);
        hold(sf::Keyboard::S, d.y > 6.f);
        hold(sf::Keyboard::W, d.y < -6.f);
        stepFighting();
        for (sf::Keyboard::Key key : {sf::Keyboard::W, sf::Keyboard::A, sf::Keyboard::S, sf::Keyboard::D})
            hold(key, false);
    }

    // One step; a hunter within striking distance is faced and struck.
    void stepFighting()
    {
        for (const auto& monster : map().monsters)
            if (monster->life() > 0 && distance(monster->position(), game->player().position()) < StrikeDistance) {
                program->setCursor(AttackCursor);
                pointAt(monster->position());
                const sf::Vector2f at = screen(monster->position());
                click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
                break;
            }
        const int before = game->player().life();
        step();
        ++steps;
        lifeLost += std::max(0, before - game->player().life());
        if (topUp)
            game->player().hurt(game->player().life() - before);
        if (!game->player().alive()) {
            ++deaths;
            died = true;
            press(sf::Keyboard::Space);
        }
    }

    static float distance(sf::Vector2f a, sf::Vector2f b) { return std::hypot(a.x - b.x, a.y - b.y); }

    // Walks cell by cell to the target's centre; false when there is no way or it takes too long.
    bool walkTo(sf::Vector2i target)
    {
        const std::vector<sf::Vector2i> path = pathTo(target);
        if (path.empty())
            return false;
        for (const sf::Vector2i cell : path) {
            const sf::Vector2f goal = centre(cell.x, cell.y);
            for (int tries = 0; distance(goal, game->player().position()) > 9.f; ++tries) {
                if (tries > 40 || died)
                    return false;
                stepToward(goal);
            }
        }
        return true;
    }

    // A panel of the map with a closed door and a reachable cell beside the cell it is worked
    // from (the panel itself, or for the remote panel the cell 2 right and 4 up).
    struct Panel {
        sf::Vector2i cell, spot, stand, door;
    };
    std::optional<Panel> nextPanel() const
    {
        if (newcomer)
            return panelAsNewcomer();
        const MapRecord& m = map();
        const std::vector<int> steps = stepsFromPlayer();
        for (int row = 0; row < m.height; ++row)
            for (int column = 0; column < m.width; ++column) {
                const int event = m.value(EventLayer, column, row);
                if (event != DoorPanelEvent && event != RemoteDoorPanelEvent)
                    continue;
                Panel panel;
                panel.cell = {column, row};
                panel.spot = event == RemoteDoorPanelEvent
                                 ? sf::Vector2i(column + RemoteColumnOffset, row + RemoteRowOffset)
                                 : panel.cell;
                if (Events::findDoor(m, panel.spot.x, panel.spot.y, panel.door.x, panel.door.y) != ClosedDoor)
                    continue;
                // Of the reachable cells round the spot, the one nearest the panel keeps it in view.
                int best = -1;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const sf::Vector2i stand = panel.spot + sf::Vector2i(dx, dy);
                        const sf::Vector2i away = stand - panel.cell;
                        const int far = away.x * away.x + away.y * away.y;
                        if (stepsTo(steps, stand) >= 0 && (best < 0 || far < best)) {
                            best = far;
                            panel.stand = stand;
                        }
                    }
                if (best >= 0)
                    return panel;
            }
        return std::nullopt;
    }

    // The reachable cell touching `cell`, floor and not `besides`, nearest the player; none when
    // there is none.
    // With `toward`, the one nearest that cell instead (a remote panel to keep in view).
    std::optional<sf::Vector2i> standBy(sf::Vector2i cell, sf::Vector2i besides,
                                        std::optional<sf::Vector2i> toward = std::nullopt) const
    {
        const std::vector<int> steps = stepsFromPlayer();
        const auto cost = [&](sf::Vector2i stand) {
            const sf::Vector2i d = toward ? stand - *toward : sf::Vector2i();
            return toward ? d.x * d.x + d.y * d.y : stepsTo(steps, stand);
        };
        std::optional<sf::Vector2i> best;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const sf::Vector2i stand = cell + sf::Vector2i(dx, dy);
                if (stand != cell && stand != besides && !map().blocked(stand.x, stand.y) && stepsTo(steps, stand) >= 0 &&
                    (!best || cost(stand) < cost(*best)))
                    best = stand;
            }
        return best;
    }

    // The remote panel seen nearest a cell (a player spots them by their screens on the wall).
    std::optional<sf::Vector2i> remotePanelNear(sf::Vector2i cell) const
    {
        std::optional<sf::Vector2i> best;
        const auto far = [cell](sf::Vector2i at) { return (at.x - cell.x) * (at.x - cell.x) + (at.y - cell.y) * (at.y - cell.y); };
        for (int row = 0; row < map().height; ++row)
            for (int column = 0; column < map().width; ++column)
                if (map().value(ObjectLayer, column, row) == RemotePanelTile && (!best || far({column, row}) < far(*best)))
                    best = sf::Vector2i(column, row);
        return best;
    }

    // As a newcomer sees the map: a closed door with a panel beside it opens from that panel; one
    // without opens from a remote panel (its picture on the wall), from beside the door itself.
    std::optional<Panel> panelAsNewcomer() const
    {
        const MapRecord& m = map();
        for (int row = 0; row < m.height; ++row)
            for (int column = 0; column < m.width; ++column) {
                if (m.value(WallLayer, column, row) != ClosedDoor)
                    continue;
                Panel panel;
                panel.door = {column, row};
                bool beside = false;
                for (int dy = -1; dy <= 1 && !beside; ++dy)
                    for (int dx = -1; dx <= 1 && !beside; ++dx)
                        if (m.value(ObjectLayer, column + dx, row + dy) == PanelTile) {
                            panel.cell = {column + dx, row + dy};
                            beside = true;
                        }
                std::optional<sf::Vector2i> stand = beside ? standBy(panel.cell, panel.door)
                                                           : standBy(panel.door, panel.door, remotePanelNear(panel.door));
                if (!beside)
                    panel.cell = {-1, -1};
                if (stand) {
                    panel.stand = *stand;
                    panel.spot = panel.stand;
                    return panel;
                }
            }
        return std::nullopt;
    }

    // The line the log shows after analysing the cell, pointed at from where the player stands.
    std::string analyse(sf::Vector2i cell)
    {
        program->setCursor(AnalyseCursor);
        pointAt(centre(cell.x, cell.y));
        const sf::Vector2f at = screen(centre(cell.x, cell.y));
        click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
        program->setCursor(AttackCursor);
        const auto& lines = game->log().lines();
        if (lines.empty())
            return std::string();
        const auto utf8 = lines.back().getString().toUtf8();
        return std::string(utf8.begin(), utf8.end());
    }

    // The door a remote panel opens is the one its line names, in the words the door's own line
    // uses: the remote panel in view whose line shares the door's name.
    void findRemotePanel(Panel& panel)
    {
        const std::string name = game->languageText(mapTextKey("RemoteDoorName", game->world().currentSlot()));
        const auto names = [&name](std::string line) {
            for (char& c : line)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return !name.empty() && line.find(name) != std::string::npos;
        };
        ASSERT_TRUE(names(analyse(panel.door))) << "the door at (" << panel.door.x << ", " << panel.door.y
                                                << ") does not say that a remote panel opens it";
        const MapRecord& m = map();
        for (int row = 0; row < m.height; ++row)
            for (int column = 0; column < m.width; ++column) {
                if (m.value(ObjectLayer, column, row) != RemotePanelTile)
                    continue;
                const sf::Vector2f at = screen(centre(column, row));
                if (at.x < 0 || at.y < 0 || at.x >= SceneWidth || at.y >= SceneHeight)
                    continue;
                if (names(analyse({column, row}))) {
                    panel.cell = {column, row};
                    return;
                }
            }
        FAIL() << "no remote panel in view names the door at (" << panel.door.x << ", " << panel.door.y << ")";
    }

    // Opens the panel's door as a player does: from beside the spot, in activate mode. A death
    // on the way leaves it to the next try.
    void open(Panel panel)
    {
        // A hunter's push can throw the walk off its path: a few tries.
        bool beside = false;
        for (int tries = 0; tries < 3 && !beside && !died; ++tries)
            beside = walkTo(panel.stand);
        if (died)
            return;
        ASSERT_TRUE(beside) << "cannot walk beside the panel at (" << panel.cell.x << ", " << panel.cell.y << ")";
        if (newcomer && panel.cell.x < 0) {
            findRemotePanel(panel);
            if (HasFatalFailure())
                return;
        }
        const sf::Vector2f spot = centre(panel.spot.x, panel.spot.y);
        for (int tries = 0; std::pow(distance(spot, game->player().position()), 2.f) >= PanelReachSquared; ++tries) {
            ASSERT_LT(tries, 10) << "the panel at (" << panel.cell.x << ", " << panel.cell.y << ") stays out of reach";
            stepToward(spot);
            if (died)
                return;
        }
        // The pointer toward the panel (a pointer stays on the screen) and a moment for the view
        // to lead there.
        for (int i = 0; i < ViewSettlingSteps && !died; ++i) {
            const sf::Vector2f toward = screen(centre(panel.cell.x, panel.cell.y));
            ProgramProbe::mousePosition(*program) =
                sf::Vector2f(std::clamp(toward.x, 0.f, SceneWidth - 1.f), std::clamp(toward.y, 0.f, SceneHeight - 1.f));
            stepFighting();
        }
        if (died)
            return;
        // A newcomer leaves the cursor on attack: a left click uses what is within reach.
        program->setCursor(newcomer ? AttackCursor : ActivateCursor);
        pointAt(centre(panel.cell.x, panel.cell.y));
        const sf::Vector2f at = screen(centre(panel.cell.x, panel.cell.y));
        ASSERT_TRUE(at.x >= 0 && at.y >= 0 && at.x < SceneWidth && at.y < SceneHeight) << "the panel is off screen";
        click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
        for (int i = 0; i <= DoorSteps; ++i)
            stepFighting();
        // A death while the door moved: the checkpoint it kept (or not) decides the rest.
        if (died)
            return;
        ASSERT_EQ(map().value(WallLayer, panel.door.x, panel.door.y), OpenDoor)
            << "the door at (" << panel.door.x << ", " << panel.door.y << ") did not open";
    }

    void skipConversation()
    {
        for (int i = 0; i < 500 && !game->dialogue().running(); ++i)
            step();
        press(sf::Keyboard::Tab);
        for (int i = 0; i < 5000 && (game->dialogue().running() || game->tasks().size() > 0); ++i)
            step();
        ASSERT_FALSE(game->dialogue().running());
    }

    // Opens every door it can, then goes after every hunter still standing, nearest first by
    // path, then walks onto the hatch.
    void winLevel()
    {
        const int startSteps = steps, startLoss = lifeLost, startDeaths = deaths;
        int doors = 0;
        for (int round = 0; round < 400 && !game->victory(); ++round) {
            ASSERT_LE(deaths - startDeaths, MostDeaths) << "too many deaths on level " << level();
            died = false;
            // Every door first, then every hunter.
            if (const std::optional<Panel> panel = nextPanel()) {
                open(*panel);
                if (HasFatalFailure())
                    return;
                doors += map().value(WallLayer, panel->door.x, panel->door.y) == OpenDoor ? 1 : 0;
                continue;
            }
            const Monster* nearest = nullptr;
            int shortest = 0;
            const std::vector<int> steps = stepsFromPlayer();
            for (const auto& monster : map().monsters) {
                if (monster->life() <= 0)
                    continue;
                const int length = stepsTo(steps, {cellOf(monster->position().x), cellOf(monster->position().y)});
                if (length >= 0 && (!nearest || length < shortest)) {
                    nearest = monster.get();
                    shortest = length;
                }
            }
            ASSERT_NE(nearest, nullptr) << "a hunter stands where no one can walk";
            walkTo({cellOf(nearest->position().x), cellOf(nearest->position().y)});
            for (int i = 0; i < 20 && !died && nearest->life() > 0; ++i)
                stepToward(nearest->position());
        }
        EXPECT_GE(doors, 3);
        EXPECT_TRUE(game->victory()) << "hunters left after " << steps << " steps";
        for (int row = 0; row < map().height; ++row)
            for (int column = 0; column < map().width; ++column) {
                if (map().value(EventLayer, column, row) == VictoryTextEvent) {
                    EXPECT_TRUE(walkTo({column, row})) << "the hatch cannot be reached";
                }
            }
        std::cout << "Level " << level() << " won on " << difficultyName(program->settings().difficulty) << " in "
                  << steps - startSteps << " steps, " << doors << " doors opened, " << lifeLost - startLoss
                  << " life lost, " << deaths - startDeaths << " deaths\n";
    }

    int level() const { return game->world().currentSlot() + 1; }

    // Every level in one run, from the opening conversation to the last hatch.
    void winEveryLevel()
    {
        ASSERT_EQ(game->world().mapCount(), ShippedLevels);
        skipConversation();
        for (int slot = 0; slot < ShippedLevels; ++slot) {
            if (slot > 0) {
                press(sf::Keyboard::Space);
                ASSERT_EQ(game->world().currentSlot(), slot);
            }
            winLevel();
            if (HasFatalFailure())
                return;
        }
        EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), GameWonText.fallback);
    }

    bool topUp = true;
    // Only what the game shows and says guides the walk (see panelAsNewcomer).
    bool newcomer = false;
    int steps = 0;
    int lifeLost = 0;
    int deaths = 0;
    bool died = false;
};

TEST_F(Walkthrough, OnClassicEveryLevelIsWonByWalkingOpeningDoorsAndStrikingEveryHunterWithLifeToppedUp)
{
    winEveryLevel();
    EXPECT_EQ(deaths, 0);
}

TEST_F(Walkthrough, OnNormalEveryLevelIsWonWithoutTopUpsResumingFromCheckpoints)
{
    program->settings().difficulty = Difficulty::Normal;
    game->stop();
    ASSERT_TRUE(game->start());
    topUp = false;
    winEveryLevel();
}

TEST_F(Walkthrough, OnNormalANewcomerWinsEveryLevelFromWhatTheGameShowsAndSays)
{
    program->settings().difficulty = Difficulty::Normal;
    game->stop();
    ASSERT_TRUE(game->start());
    topUp = false;
    newcomer = true;
    winEveryLevel();
}

} // namespace
} // namespace testing
} // namespace vrk
