#pragma once
// The words of what guides the player: the map and its legend, what analysing an object says,
// and the offer to continue, by their key in the language documents, with the English words
// shown when a document lacks the key.

#include "game/LogTexts.hpp"

namespace vrk {

constexpr LogText MapTitleText{"MapTitle", "Map"};
// Its marks name the bound keys.
constexpr LogText MapHintText{"MapHint", "{map}, Escape or {pause} to close."};
// The legend, in the order of the map's marks it explains.
constexpr int MapLegendCount = 7;
constexpr LogText MapLegendTexts[MapLegendCount] = {
    {"MapClosedDoor", "Closed door"}, {"MapOpenDoor", "Open door"}, {"MapPanel", "Panel"},
    {"MapHatch", "Hatch"},           {"MapCabinet", "Cabinet"},    {"MapHunter", "Hunter last seen"},
    {"MapYou", "You"},
};

// What analysing an object says, by object (its tile in the object sheet, see game/Objects.hpp).
constexpr LogText ReadingDeskText{"AboutReadingDesk", "A reading desk. A journal lies open on it."};
constexpr LogText LabBenchText{"AboutLabBench", "A lab bench: flasks and tubes, nothing of use."};
constexpr LogText ConsoleText{"AboutConsole", "A console. It asks for a password you lack."};
constexpr LogText CrateText{"AboutCrate", "A crate, nailed shut. Good cover."};
constexpr LogText BarrelsText{"AboutBarrels", "Drums of lab waste. Better left shut."};
constexpr LogText PlantText{"AboutPlant", "A potted plant, the only living thing here."};
constexpr LogText OperatingTableText{"AboutOperatingTable", "The operating table you woke on. Torn straps."};
constexpr LogText TankText{"AboutTank", "A specimen tank. Something floats in it."};
constexpr LogText CablesText{"AboutCables", "Cables across the floor. Mind your step."};
constexpr LogText ChairText{"AboutChair", "A chair, pushed back in a hurry."};
constexpr LogText ScorchText{"AboutScorch", "A scorch mark. The blast reached this far."};
constexpr LogText ServerRackText{"AboutServerRack", "A server rack, humming, its lights blinking."};
constexpr LogText PapersText{"AboutPapers", "Loose papers: duty rosters, a torn floor plan."};
constexpr LogText CabinetText{"AboutCabinet", "A red-cross cabinet: first aid."};
constexpr LogText BedText{"AboutBed", "A narrow bed. No time to sleep."};
constexpr LogText DoorText{"AboutDoor", "A door. It opens from a panel beside it."};
constexpr LogText WindowText{"AboutWindow", "Thick glass: you see through, you do not pass."};

constexpr const LogText* GuideTexts[] = {
    &MapTitleText,       &MapHintText,      &MapLegendTexts[0], &MapLegendTexts[1], &MapLegendTexts[2],
    &MapLegendTexts[3],  &MapLegendTexts[4], &MapLegendTexts[5], &MapLegendTexts[6], &ReadingDeskText,  &LabBenchText,      &ConsoleText,
    &CrateText,          &BarrelsText,      &PlantText,         &OperatingTableText, &TankText,
    &CablesText,         &ChairText,        &ScorchText,        &ServerRackText,    &PapersText,
    &CabinetText,        &BedText,          &DoorText,          &WindowText,
};

} // namespace vrk
