#pragma once
// The lines of the message log that the game writes itself, by their key in the language
// documents, with the English line shown when a document lacks the key.

#include <string>

namespace zul {
class Tavric;
}

namespace vrk {

struct LogText {
    const char* key;
    const char* fallback;
};

// The words of the text in the language document, or its English words when the document lacks
// the key (nothing is created in the document).
std::string wordsOf(zul::Tavric& language, const LogText& text);
// The same with its mark ("{level}") replaced by value.
std::string wordsOf(zul::Tavric& language, const LogText& text, const std::string& mark, const std::string& value);

constexpr LogText GameOverText{"GameOver", "Game over - Press space to restart"};
// The same where the rules keep checkpoints: Space does not start the level over.
constexpr LogText ResumeOverText{"GameOverResume", "Game over - Press space to resume at the last checkpoint"};
constexpr LogText VictoryText{"VictoryLine", "Victory. Press space to restart."};
// The levels: a map cleared with another after it, the last one cleared, and the offer to go
// back to the furthest level reached ("{level}" stands for its number).
constexpr LogText LevelClearedText{"LevelCleared", "Level cleared. Press space to continue."};
constexpr LogText GameWonText{"GameWon", "The way out at last. You won! Space to play again."};
constexpr LogText ContinueText{"ContinueLevel", "Press C to continue from level {level}"};
// The easier rules' lines: a checkpoint kept, a medical cabinet used, and one used already.
constexpr LogText CheckpointText{"Checkpoint", "Checkpoint: a death resumes here."};
constexpr LogText CabinetHealText{"CabinetHeal", "The medical cabinet patches you up."};
constexpr LogText CabinetEmptyText{"CabinetEmpty", "The medical cabinet is empty."};
constexpr LogText RuleTexts[] = {CheckpointText, CabinetHealText, CabinetEmptyText};

// The help after the conversation: the buttons, then the keys; its marks ({move}, {run},
// {map}, {pause}) name the bound keys.
constexpr int HelpTextCount = 3;
constexpr LogText HelpTexts[HelpTextCount] = {
    {"Help1", "Left click: attack or use. Right click: change mode."},
    {"Help2", "Walk: {move} or arrows. Run: {run}. Map: {map}."},
    {"Help3", "Pause: {pause}. Leave the level: Escape."},
};

// The question before leaving a level (over the paused game), what leaving costs, and the answers.
// Leaving forgets the level's checkpoints: the title plays it from its start.
constexpr LogText LeaveQuestionText{"LeaveQuestion", "Leave the level?"};
constexpr LogText LeaveLossText{"LeaveLoss", "Play since the level's start is lost, checkpoints too."};
constexpr LogText LeaveKeysText{"LeaveKeys", "Escape or Return to leave, any other key to go back."};
constexpr LogText LeaveTexts[] = {LeaveQuestionText, LeaveLossText, LeaveKeysText};

} // namespace vrk
