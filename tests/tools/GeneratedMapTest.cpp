// The scale benchmark's generated level goes through the map tool like a shipped map: if the map
// format moves on and the generator does not, this fails here rather than as a benchmark that
// silently measures an empty map.
#include "bench/GeneratedMap.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace vrk::bench;

TEST(GeneratedMap, CompilesWithItsHuntersWallsAndStart)
{
    for (const int hunters : {0, 12, 1000}) {
        SCOPED_TRACE(hunters);
        zul::NameDictionary names;
        zul::Tavric document(&names);
        ASSERT_TRUE(zul::parse(document, mapsDocument(hunters)));
        zul::Tavric& map = document.child("Maps").child("Generated");
        EXPECT_EQ(map.child("Width").getInt(), Side);
        EXPECT_EQ(map.child("Height").getInt(), Side);
        const int middle = Side / 2 + Room / 2;
        EXPECT_EQ(map.child("Start").child("Column").getInt(), middle);
        EXPECT_EQ(map.child("Start").child("Row").getInt(), middle);

        zul::Tavric& layers = map.child("Layers");
        const auto at = [&](const char* layer, int column, int row) {
            return layers.child(layer).childAt(static_cast<std::size_t>(row) * Side + column)->getInt();
        };
        // Every hunter on free floor, the four kinds in turn.
        std::map<long long, int> kinds;
        int placed = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(Side) * Side; ++i) {
            const long long code = layers.child("L5").childAt(i)->getInt();
            if (code == 0)
                continue;
            ++placed;
            ++kinds[code];
            EXPECT_EQ(layers.child("L3").childAt(i)->getInt(), mapc::FreeCode) << "a hunter in a wall at " << i;
        }
        EXPECT_EQ(placed, hunters);
        EXPECT_EQ(kinds.size(), static_cast<std::size_t>(std::min(hunters, 4)));
        // Closed all round, walls between rooms, doorways open, the start on free floor.
        EXPECT_EQ(at("L3", 0, middle), mapc::WallCode);
        EXPECT_EQ(at("L3", Side - 1, 5), mapc::WallCode);
        EXPECT_EQ(at("L3", Room, Room + 1), mapc::WallCode);
        EXPECT_EQ(at("L3", Room, Room + Room / 2), mapc::FreeCode);
        EXPECT_EQ(at("L3", middle, middle), mapc::FreeCode);
    }
}

} // namespace
