#pragma once
// The Program's own state, for the tests of the shell that set up or check its loop, window,
// cursor and input directly.

#include "shell/Program.hpp"

namespace vrk {
namespace testing {

struct ProgramProbe {
    static std::stack<int, std::deque<int>>& stateStack(Program& program) { return program.stateStack; }
    static double& scaleX(Program& program) { return program.scaleX; }
    static double& scaleY(Program& program) { return program.scaleY; }
    static sf::Vector2f& offset(Program& program) { return program.offset; }
    static double scaleX(const Program& program) { return program.scaleX; }
    static double scaleY(const Program& program) { return program.scaleY; }
    static sf::Vector2f offset(const Program& program) { return program.offset; }
    static sf::Texture (&cursorTextures(Program& program))[CursorCount] { return program.cursorTextures; }
    static sf::Sprite (&cursorSprites(Program& program))[CursorCount] { return program.cursorSprites; }
    static sf::Time& frameTime(Program& program) { return program.frameTime; }
    static sf::Time& lag(Program& program) { return program.lag; }
    static bool (&keyDown(Program& program))[KeyCount] { return program.keyDown; }
    static sf::Vector2f& mousePosition(Program& program) { return program.mousePosition; }
    static zul::NameDictionary& dictionary(Program& program) { return program.dictionary; }
    static int& cursorFrame(Program& program) { return program.cursorFrame; }
    static int& exitStatus(Program& program) { return program.status; }
    static std::string& selectedUserName(Program& program) { return program.selectedUserName; }
};

} // namespace testing
} // namespace vrk
