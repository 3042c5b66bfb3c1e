#include "shell/Program.hpp"
#include "shell/UserDataText.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/WholeFile.hpp"

#include <exception>
#include <iostream>
#include <sstream>

namespace vrk {

namespace {

const char* const configPath = "./lev/config.tvr";
const char* const defaultLanguage = "En";
constexpr int publicUser = zul::publicUser;

// Directive texts of the game's documents: a Message is the document's own output, on standard
// output; a Warning or an Error is a diagnostic, with the others.
zul::DirectiveSink showDirectives(std::ostream& errors)
{
    return [&errors](const zul::DirectiveText& directive) {
        std::ostream& stream = directive.kind == zul::DirectiveKind::Message ? std::cout : errors;
        stream << directive.text << std::endl;
    };
}

void writeMessages(const zul::Tavric& document, std::ostream& stream)
{
    for (const std::string& line : document.messages())
        stream << line;
    stream.flush();
}

} // namespace

bool Program::loadConfiguration()
{
    zul::LoadOptions load;
    load.directives = showDirectives(errors());
    if (zul::load(configTree, configPath, load))
        return true;
    writeMessages(configTree, errors());
    return false;
}

bool Program::loadUserData()
{
    std::string bytes;
    // A directory, a device or a FIFO in its place is unreadable user data, not something to wait for.
    if (zul::readWholeFile(userDataFiles.readPath, bytes, zul::FileKinds::RegularOnly) != 0)
        return false;
    zul::ParseOptions parse;
    parse.directives = showDirectives(errors());
    if (!zul::parse(userTree, userDataText(bytes), parse)) {
        writeMessages(userTree, errors());
        return false;
    }
    findSelectedUser(userTree, selectedUserName);
    return true;
}

void Program::chooseLanguage()
{
    zul::Tavric& languages = configTree.child("Language", publicUser);
    std::string code = userTree.child("CurrentLanguage", publicUser).getString(publicUser);

    // --Language=CODE wins over the stored language when the configuration has that language.
    const auto option = optionTable.find("Language");
    if (option != optionTable.end()) {
        if (!option->second.empty() && languages.exists(option->second))
            code = option->second;
        else
            errors() << "Ignoring --Language=" << option->second << ": the configuration has no such language."
                     << std::endl;
    }

    if (code.empty() || !languages.exists(code))
        code = defaultLanguage;
    languageTree.copyFrom(languages.child(code, publicUser));
    userTree.child("CurrentLanguage", publicUser).setString(languageTree.getName(), publicUser);
}

void Program::readSettings()
{
    currentSettings.read(userTree, errors());
    const auto option = optionTable.find("Keys");
    if (option != optionTable.end() && !currentSettings.applyKeyPreset(option->second))
        errors() << "Ignoring --Keys=" << option->second << ": the presets are azerty and qwerty." << std::endl;
    readDifficultyOption();
}

void Program::readDifficultyOption()
{
    const auto option = optionTable.find("Difficulty");
    if (option != optionTable.end() && !difficultyFromName(option->second, currentSettings.difficulty))
        errors() << "Ignoring --Difficulty=" << option->second << ": the difficulties are easy, normal and classic."
                 << std::endl;
}

bool Program::saveUserData()
{
    currentSettings.write(userTree);
    std::string bytes;
    if (!userDataBytes(userTree, selectedUserName, bytes))
        return false;
    // The old file stays whole when the new one cannot be written; say why, or the settings of this
    // run are lost without a word.
    const std::string folderFault = makeParentFolders(userDataFiles.savePath);
    if (!folderFault.empty()) {
        errors() << "Cannot save the user data: " << folderFault << std::endl;
        return false;
    }
    const zul::ReplaceResult saved = zul::replaceWholeFile(userDataFiles.savePath, bytes);
    if (!saved)
        errors() << "Cannot save the user data: " << saved.text() << std::endl;
    return static_cast<bool>(saved);
}

} // namespace vrk
