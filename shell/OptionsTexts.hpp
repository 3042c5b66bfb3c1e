#pragma once
// The words of the options screen, by their key in the language documents, with the English
// words shown when a document lacks the key.

#include "game/LogTexts.hpp"
#include "shell/Settings.hpp"

namespace vrk {

constexpr LogText OptionsTitleText{"OptionsTitle", "Options"};
// The labels of the rows above the keys' column, in the screen's order.
constexpr LogText OptionsRowTexts[6] = {{"OptionsMusic", "Music volume"},    {"OptionsEffects", "Effects volume"},
                                        {"OptionsFullscreen", "Fullscreen"}, {"OptionsWindow", "Window size"},
                                        {"OptionsLanguage", "Language"},     {"OptionsDifficulty", "Difficulty"}};
constexpr LogText OptionsKeysText{"OptionsKeys", "Keys"};
// By action, in the order of Action.
constexpr LogText OptionsActionTexts[ActionCount] = {
    {"OptionsActionUp", "Walk up"},       {"OptionsActionDown", "Walk down"}, {"OptionsActionLeft", "Walk left"},
    {"OptionsActionRight", "Walk right"}, {"OptionsActionRun", "Run"},        {"OptionsActionPause", "Pause"},
    {"OptionsActionMap", "Map"},          {"OptionsActionUse", "Use"}};
constexpr LogText OptionsResetText{"OptionsReset", "Reset to defaults"};
constexpr LogText OptionsBackText{"OptionsBack", "Back"};
constexpr LogText OptionsOnText{"OptionsOn", "On"};
constexpr LogText OptionsOffText{"OptionsOff", "Off"};
// By difficulty, in the order of Difficulty: its name, then what it changes in one line.
constexpr LogText OptionsDifficultyTexts[3] = {
    {"OptionsEasy", "Easy"}, {"OptionsNormal", "Normal"}, {"OptionsClassic", "Classic"}};
constexpr LogText OptionsDifficultyAbout[3] = {
    {"OptionsEasyAbout", "More life, checkpoints, more healing, heals when unseen."},
    {"OptionsNormalAbout", "Checkpoints, medical cabinets, one push per touch."},
    {"OptionsClassicAbout", "The first rules: no checkpoint, no healing, no mercy."}};
// A language's own name, read from that language's document (its code when it has none).
constexpr LogText OptionsLanguageNameText{"OptionsLanguageName", ""};
// {action} the action's name, {key} a key's name.
constexpr LogText OptionsPressKeyText{"OptionsPressKey", "Press a key for {action}; Escape to cancel."};
constexpr LogText OptionsSwappedText{"OptionsSwapped", "{action} had that key: it takes the old one."};
constexpr LogText OptionsReservedText{"OptionsReserved", "{key} is kept for the game itself: choose another."};
constexpr LogText OptionsUnboundText{"OptionsUnbound", "That key cannot be bound: choose another."};
constexpr LogText OptionsResetDoneText{"OptionsResetDone", "Every setting is back to its default."};
constexpr LogText OptionsSaveFailedText{"OptionsSaveFailed", "Could not save: the change holds for this run only."};
constexpr LogText OptionsWindowRefusedText{"OptionsWindowRefused", "The display refused that window: nothing changed."};
constexpr LogText OptionsHelpText{"OptionsHelp", "Arrows choose and change, Return acts, Escape goes back."};

// Every text above, for the checks of the language documents.
constexpr const LogText* OptionsScreenTexts[] = {&OptionsTitleText,
                                                 &OptionsRowTexts[0],
                                                 &OptionsRowTexts[1],
                                                 &OptionsRowTexts[2],
                                                 &OptionsRowTexts[3],
                                                 &OptionsRowTexts[4],
                                                 &OptionsRowTexts[5],
                                                 &OptionsKeysText,
                                                 &OptionsActionTexts[0],
                                                 &OptionsActionTexts[1],
                                                 &OptionsActionTexts[2],
                                                 &OptionsActionTexts[3],
                                                 &OptionsActionTexts[4],
                                                 &OptionsActionTexts[5],
                                                 &OptionsActionTexts[6],
                                                 &OptionsActionTexts[7],
                                                 &OptionsResetText,
                                                 &OptionsBackText,
                                                 &OptionsOnText,
                                                 &OptionsOffText,
                                                 &OptionsDifficultyTexts[0],
                                                 &OptionsDifficultyTexts[1],
                                                 &OptionsDifficultyTexts[2],
                                                 &OptionsDifficultyAbout[0],
                                                 &OptionsDifficultyAbout[1],
                                                 &OptionsDifficultyAbout[2],
                                                 &OptionsLanguageNameText,
                                                 &OptionsPressKeyText,
                                                 &OptionsSwappedText,
                                                 &OptionsReservedText,
                                                 &OptionsUnboundText,
                                                 &OptionsResetDoneText,
                                                 &OptionsSaveFailedText,
                                                 &OptionsWindowRefusedText,
                                                 &OptionsHelpText};

} // namespace vrk
