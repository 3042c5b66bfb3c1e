#pragma once
// The title's words, by their key in the language documents, with the English words shown when
// a document lacks the key.

#include "game/LogTexts.hpp"

namespace vrk {

// "{level}" stands for the level Continue plays, from 1.
constexpr LogText TitleContinueText{"TitleContinue", "Continue (level {level})"};
constexpr LogText TitleNewGameText{"TitleNewGame", "New game"};
constexpr LogText TitleOptionsText{"TitleOptions", "Options"};
constexpr LogText TitleCreditsText{"TitleCredits", "Credits"};
constexpr LogText TitleQuitText{"TitleQuit", "Quit"};
constexpr LogText TitleHintText{"TitleHint", "Up and Down to choose, Return to confirm, Escape to quit."};

constexpr const LogText* TitleTexts[] = {&TitleContinueText, &TitleNewGameText, &TitleOptionsText,
                                         &TitleCreditsText,  &TitleQuitText,    &TitleHintText};

} // namespace vrk
