#pragma once
// The words of the HUD and the pause screen, by their key in the language documents, with the
// English words shown when a document lacks the key.

#include "game/LogTexts.hpp"

namespace vrk {

// Followed by " left/total".
constexpr LogText HuntersText{"HudHunters", "Hunters"};
constexpr LogText ObjectiveText{"HudObjective", "Objective: bring every Hunter down."};
constexpr LogText LifeText{"HudLife", "Life"};
constexpr LogText RunText{"HudRun", "Run"};
// By cursor mode: attack, analyse, activate.
constexpr LogText ModeTexts[3] = {{"HudAttack", "Attack"}, {"HudAnalyse", "Analyse"}, {"HudActivate", "Activate"}};
constexpr LogText PausedText{"Paused", "Paused"};
// "{key}" stands for the key bound to the pause.
constexpr LogText PausedKeysText{"PausedKeys", "{key} to resume, Escape to leave."};
constexpr LogText PausedSettingsText{"PausedSettings", "F2 F3 music, F5 F6 effects, F11 fullscreen."};
// The pause screen's items.
constexpr LogText PausedOptionsText{"PausedOptions", "Options"};
constexpr LogText PausedTitleText{"PausedTitle", "Back to the title"};
// Followed by the volume in percent.
constexpr LogText MusicVolumeText{"MusicVolume", "Music"};
constexpr LogText EffectsVolumeText{"EffectsVolume", "Effects"};
constexpr LogText SoundOffText{"SoundOff", "(sound off for this run)"};

constexpr const LogText* HudTexts[] = {&HuntersText,    &ObjectiveText,      &LifeText,        &RunText,
                                       &ModeTexts[0],   &ModeTexts[1],       &ModeTexts[2],    &PausedText,
                                       &PausedKeysText, &PausedSettingsText, &MusicVolumeText, &EffectsVolumeText,
                                       &SoundOffText,   &PausedOptionsText,  &PausedTitleText};

} // namespace vrk
