// The title driven as a player drives it, through the Program: synthetic keys and pointer events,
// stand-in credits, the real game on small test maps, and user data in a file of the test's own.
#include "title/Title.hpp"

#include "shell/GameModules.hpp"
#include "tavric/model/Tavric.hpp"
#include "tests/game/IngameFixture.hpp"
#include "tests/Contrast.hpp"
#include "tests/shell/StubModule.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vrk {
namespace testing {
namespace {

constexpr int Levels = 3;

// One run of the game's three modules as main registers them.
struct TitleRig {
    explicit TitleRig(const std::string& first = "title", int furthest = 0)
    {
        program.setOption("Sound", "False");
        program.setOption("StartState", first);
        userData = testResourceDirectory() + "title-data.vrk";
        std::remove(userData.c_str());
        program.setUserDataFiles(UserDataFiles{userData, userData});
        EXPECT_TRUE(program.scene().create(SceneWidth, SceneHeight));
        // The credits as far as the title cares: any key ends them.
        auto creditModule = std::make_unique<StubModule>(program);
        creditModule->popOnEvent = true;
        auto gameModule = std::make_unique<Ingame>(program);
        credits = creditModule.get();
        game = gameModule.get();
        auto titleModule = std::make_unique<Title>(program, [this](int slot) {
            played.push_back(slot);
            game->playFromTitle(slot);
        });
        title = titleModule.get();
        program.registerModule("credit", std::move(creditModule));
        program.registerModule("title", std::move(titleModule));
        program.registerModule("ingame", std::move(gameModule), false);
        game->setLoadingScreenShown(false);
        game->setResourceDirectory(testResourceDirectory());
        title->setResourceDirectory(testResourceDirectory());
        for (int slot = 0; slot < Levels; ++slot)
            roomWithWalledUpHunters(12, 8).write(program.configDocument().child("Maps").child("M" + std::to_string(slot)));
        if (furthest > 0)
            program.userDocument().child("FurthestLevel").setInt(furthest);
        EXPECT_TRUE(program.startModules());
    }

    void key(sf::Keyboard::Key code)
    {
        sf::Event event;
        event.type = sf::Event::KeyPressed;
        event.key = sf::Event::KeyEvent{code, false, false, false, false};
        program.dispatchEvent(event);
    }
    // The pointer moved onto the middle of a menu item (scene and window coincide here), then a
    // left click there when click.
    void pointAt(int item, bool click)
    {
        const sf::FloatRect box = title->menu().itemBox(item);
        const int x = static_cast<int>(box.left + box.width / 2), y = static_cast<int>(box.top + box.height / 2);
        sf::Event event;
        event.type = sf::Event::MouseMoved;
        event.mouseMove = sf::Event::MouseMoveEvent{x, y};
        program.dispatchEvent(event);
        if (!click)
            return;
        event.type = sf::Event::MouseButtonPressed;
        event.mouseButton = sf::Event::MouseButtonEvent{sf::Mouse::Left, x, y};
        program.dispatchEvent(event);
    }

    std::ostringstream errors;
    Program program{errors};
    std::string userData;
    StubModule* credits = nullptr;
    Title* title = nullptr;
    Ingame* game = nullptr;
    std::vector<int> played;
};

enum Outcome { Plays, OptionsOpen, CreditsAgain, Quits };

// Every item reached by keys (U Down, D Down, R Return, E Escape) or by the pointer, with and
// without a level to continue from.
TEST(TitleMenu, KeysAndThePointerReachEveryItem)
{
    const struct {
        int furthest;
        const char* keys; // empty: the pointer on item `pointed`, then a click
        int pointed;
        Outcome outcome;
        int slot; // the level played, from 0
    } cases[] = {
        {0, "R", -1, Plays, 0},        {0, "", 0, Plays, 0},         {0, "DR", -1, OptionsOpen, 0},
        {0, "", 1, OptionsOpen, 0},    {0, "DDR", -1, CreditsAgain, 0}, {0, "", 2, CreditsAgain, 0},
        {0, "UR", -1, Quits, 0},       {0, "", 3, Quits, 0},         {0, "E", -1, Quits, 0},
        {3, "R", -1, Plays, 2},        {3, "", 0, Plays, 2},         {3, "DR", -1, Plays, 0},
        {3, "DDDDDR", -1, Plays, 2},   {3, "", 4, Quits, 0},         {2, "", 0, Plays, 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string("furthest ") + std::to_string(row.furthest) + ", keys \"" + row.keys +
                     "\", pointer on " + std::to_string(row.pointed));
        TitleRig rig("title", row.furthest);
        ASSERT_EQ(rig.program.top(), TitleState);
        ASSERT_TRUE(rig.title->isStarted());
        for (const char* k = row.keys; *k; ++k)
            rig.key(*k == 'U' ? sf::Keyboard::Up
                    : *k == 'D' ? sf::Keyboard::Down
                    : *k == 'E' ? sf::Keyboard::Escape
                                : sf::Keyboard::Return);
        if (row.pointed >= 0) {
            rig.pointAt(row.pointed, false);
            EXPECT_EQ(rig.title->menu().selected(), row.pointed) << "the pointer's item is the highlighted one";
            rig.pointAt(row.pointed, true);
        }
        switch (row.outcome) {
        case Plays:
            EXPECT_EQ(rig.program.top(), IngameState);
            EXPECT_TRUE(rig.game->isStarted());
            EXPECT_EQ(rig.played, std::vector<int>{row.slot});
            EXPECT_EQ(rig.game->world().currentSlot(), row.slot);
            EXPECT_FALSE(rig.game->continueOffer()) << "the title made the offer";
            break;
        case OptionsOpen:
            EXPECT_EQ(rig.program.top(), TitleState);
            EXPECT_TRUE(rig.title->options().isOpen());
            rig.key(sf::Keyboard::Escape);
            EXPECT_FALSE(rig.title->options().isOpen()) << "Escape closes the options, not the game";
            EXPECT_EQ(rig.program.top(), TitleState);
            break;
        case CreditsAgain:
            EXPECT_EQ(rig.program.top(), CreditState);
            EXPECT_EQ(rig.credits->starts, 1);
            rig.key(sf::Keyboard::Space);
            EXPECT_EQ(rig.program.top(), TitleState) << "the credits end on the title";
            EXPECT_TRUE(rig.title->isStarted());
            EXPECT_EQ(rig.title->menu().selected(), std::max(row.pointed, 0))
                << "the item under the pointer is lit again, else the first";
            break;
        case Quits:
            EXPECT_EQ(rig.program.top(), QuitState);
            EXPECT_TRUE(rig.played.empty());
            break;
        }
    }
}

// Continue shows the furthest level reached when the game has it and it is past the first.
TEST(TitleMenu, ContinueFollowsTheUserData)
{
    const struct {
        const char* stored; // FurthestLevel as the user data holds it; empty: none
        const char* language; // TitleContinue in the language document; empty: none (English)
        int level;
        const char* first;
    } cases[] = {
        {"", "", 0, "New game"},
        {"1", "", 0, "New game"},
        {"2", "", 2, "Continue (level 2)"},
        {"3", "", 3, "Continue (level 3)"},
        {"4", "", 0, "New game"}, // an edited file beyond the game's levels
        {"two", "", 0, "New game"},
        {"2", "Continuer (niveau {level})", 2, "Continuer (niveau 2)"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.stored);
        TitleRig rig("credit");
        zul::Tavric& user = rig.program.userDocument();
        if (std::string(row.stored) == "two")
            user.child("FurthestLevel").setString("two");
        else if (*row.stored)
            user.child("FurthestLevel").setInt(std::stoi(row.stored));
        if (*row.language)
            rig.program.languageDocument().child("TitleContinue").setString(row.language);
        rig.key(sf::Keyboard::Return); // the credits end: the title reads the user data as it starts
        ASSERT_EQ(rig.program.top(), TitleState);
        EXPECT_EQ(rig.title->continueLevel(), row.level);
        EXPECT_EQ(rig.title->items().front(), row.level > 0 ? Title::ContinueItem : Title::NewGameItem);
        EXPECT_EQ(rig.title->menu().items().size(), row.level > 0 ? 5u : 4u);
        EXPECT_EQ(rig.title->menu().items().front(), row.first);
    }
}

// Credits, title, play, Escape, title, Escape, quit; and play started directly leaves to the title.
TEST(TitleMenu, TheStackFromTheCreditsThroughPlayToTheEnd)
{
    TitleRig rig("credit");
    EXPECT_EQ(rig.program.top(), CreditState);
    rig.key(sf::Keyboard::Return);
    EXPECT_EQ(rig.program.top(), TitleState);
    rig.key(sf::Keyboard::Return); // New game
    ASSERT_EQ(rig.program.top(), IngameState);
    EXPECT_FALSE(rig.title->isStarted());
    // As the game keeps it on reaching the second level.
    rig.program.userDocument().child("FurthestLevel").setInt(2);
    rig.pointAt(3, false); // where Credits will be once Continue comes first
    rig.key(sf::Keyboard::Escape);
    EXPECT_EQ(rig.program.top(), IngameState) << "leaving asks first";
    rig.key(sf::Keyboard::Escape);
    EXPECT_EQ(rig.program.top(), TitleState);
    EXPECT_EQ(rig.title->items()[3], Title::CreditsItem);
    EXPECT_EQ(rig.title->menu().selected(), 3);
    EXPECT_FALSE(rig.game->isStarted());
    EXPECT_TRUE(std::ifstream(rig.userData).good()) << "leaving play saves";
    EXPECT_EQ(rig.title->continueLevel(), 2) << "the title reads what the game just reached";
    rig.key(sf::Keyboard::Escape);
    EXPECT_EQ(rig.program.top(), QuitState);

    TitleRig direct("ingame");
    ASSERT_EQ(direct.program.top(), IngameState);
    EXPECT_TRUE(direct.game->isStarted());
    direct.key(sf::Keyboard::Escape);
    direct.key(sf::Keyboard::Return);
    EXPECT_EQ(direct.program.top(), TitleState);
    EXPECT_TRUE(direct.title->isStarted());
}

// The view of the first level, dimmed, under the highlighted item's frame; a missing view is
// reported once however often the title starts, and the title draws without it.
TEST(TitleMenu, DrawsTheHighlightOverTheDimmedView)
{
    const std::string view = testResourceDirectory() + Title::viewPath;
    std::filesystem::create_directories(std::filesystem::path(view).parent_path());
    std::remove(view.c_str());
    {
        TitleRig rig;
        rig.key(sf::Keyboard::Return);
        rig.key(sf::Keyboard::Escape);
        rig.key(sf::Keyboard::Escape);
        ASSERT_EQ(rig.program.top(), TitleState);
        const std::string line = std::string(" failure: ") + Title::viewPath + "\n";
        const std::string errors = rig.errors.str();
        EXPECT_NE(errors.find(line), std::string::npos) << errors;
        EXPECT_EQ(errors.find(line), errors.rfind(line)) << "reported once: " << errors;
    }
    sf::Image white;
    white.create(64, 36, sf::Color::White);
    ASSERT_TRUE(white.saveToFile(view));
    TitleRig rig;
    rig.key(sf::Keyboard::Down);
    ASSERT_TRUE(rig.title->coversScene());
    rig.program.scene().clear(sf::Color::Red);
    rig.title->draw();
    rig.program.scene().display();
    const sf::Image scene = rig.program.scene().getTexture().copyToImage();
    std::remove(view.c_str());
    // A white view under the dim: what remains of white where nothing else is drawn.
    const sf::Uint8 dimmed = static_cast<sf::Uint8>(255 * (255 - MenuDim.a) / 255);
    const sf::Color corner = scene.getPixel(5, SceneHeight - 5);
    EXPECT_NEAR(corner.r, dimmed, 2);
    EXPECT_EQ(corner.r, corner.b);
    const sf::FloatRect box = rig.title->menu().itemBox(1);
    const unsigned frameX = static_cast<unsigned>(box.left - MenuFrameThickness / 2);
    const unsigned middleY = static_cast<unsigned>(box.top + box.height / 2);
    EXPECT_EQ(scene.getPixel(frameX, middleY), MenuHighlight);
    const sf::FloatRect other = rig.title->menu().itemBox(0);
    EXPECT_NE(scene.getPixel(static_cast<unsigned>(other.left - MenuFrameThickness / 2),
                             static_cast<unsigned>(other.top + other.height / 2)),
              MenuHighlight);
}

// Worst case, the outline aside: the words over a view that is white everywhere, as dimmed.
TEST(TitleMenu, TheWordsReadAtFourAndAHalfToOneOverTheLightestView)
{
    const sf::Color dimmed = legibility::over(MenuDim, sf::Color::White);
    const struct {
        const char* what;
        sf::Color words, behind;
    } cases[] = {
        {"an item and the help line", TextFill, dimmed},
        {"the highlighted item", MenuHighlight, legibility::over(MenuPanel, dimmed)},
    };
    for (const auto& row : cases) {
        const double ratio = legibility::ratio(row.words, row.behind);
        std::printf("%s: %.1f to 1\n", row.what, ratio);
        EXPECT_GE(ratio, 4.5) << row.what;
    }
}

} // namespace
} // namespace testing
} // namespace vrk
