// The user data loader: any bytes as the content of data.vrk go through the game's own steps
// (unscramble, drop the final byte, cut at the first NUL, parse and resolve, find the selected
// user, choose the language against a configuration), then the save that closing the window
// makes. What was saved must load again with the same selected user and language and write the
// same text: a start with a damaged file must never leave a file the next start cannot read.

#include "FuzzCommon.hpp"
#include "shell/UserDataText.hpp"

namespace {

const char* const configuration = "[Language\n  [En Hello = \"Hello\"]\n  [Fr Hello = \"Bonjour\"]\n]\n";

// One start of the program: its documents share one dictionary, as the program's do, and the
// configuration outlives the language document that links into it.
struct Start {
    zul::NameDictionary dictionary;
    zul::Tavric user{&dictionary};
    zul::Tavric config{&dictionary};
    zul::Tavric language{&dictionary};
    bool parsed = false;
    std::string selected;
    std::string code;
};

// The language step of the start-up: the stored code when the configuration has it, else "En";
// the choice is written back into the user document.
void chooseLanguage(Start& start)
{
    zul::Tavric& languages = start.config.child("Language", zul::publicUser);
    std::string code = start.user.child("CurrentLanguage", zul::publicUser).getString(zul::publicUser);
    if (code.empty() || !languages.exists(code))
        code = "En";
    start.language.copyFrom(languages.child(code, zul::publicUser));
    start.user.child("CurrentLanguage", zul::publicUser).setString(start.language.getName(), zul::publicUser);
    start.code = code;
}

void load(Start& start, const std::string& bytes)
{
    if (!fuzz::parse(start.config, configuration, true))
        fuzz::fail("the configuration does not parse", fuzz::joinedMessages(start.config));
    start.parsed = fuzz::parse(start.user, vrk::userDataText(bytes), true);
    if (start.parsed)
        vrk::findSelectedUser(start.user, start.selected);
    chooseLanguage(start);
    (void)start.language.child("Hello", zul::publicUser).getString(zul::publicUser);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Start first;
    load(first, fuzz::textOf(data, size));
    std::string saved;
    if (!vrk::userDataBytes(first.user, first.selected, saved))
        fuzz::fail("the user document cannot be written");
    const std::string savedText = fuzz::written(first.user, true, false);

    Start second;
    load(second, saved);
    if (first.parsed && !second.parsed)
        fuzz::fail("saved user data does not load again", savedText, fuzz::joinedMessages(second.user));
    // What a damaged file left is written as text that reads, even where its expressions, never
    // evaluated, then fail to.
    zul::NameDictionary names;
    zul::Tavric unresolved(&names);
    if (!fuzz::parse(unresolved, vrk::userDataText(saved), false))
        fuzz::fail("saved user data does not parse again", savedText, fuzz::joinedMessages(unresolved));
    if (second.selected != first.selected)
        fuzz::fail("the selected user changed over a save", first.selected, second.selected);
    if (second.code != first.code)
        fuzz::fail("the language changed over a save", first.code, second.code);
    // A document that loaded whole is saved again as it was. One the parse stopped in is saved
    // as far as it was read; its next load resolves it (creating the fields its references name),
    // so only from then on is it stable.
    std::string savedAgain;
    if (!vrk::userDataBytes(second.user, second.selected, savedAgain))
        fuzz::fail("the reloaded user document cannot be written");
    // A document that assigns in an expression changes itself on every load (see roundtrip.cpp).
    if (fuzz::assigns(first.user) || fuzz::assigns(second.user))
        return 0;
    if (first.parsed && savedAgain != saved)
        fuzz::fail("saving the reloaded user data gives another file", savedText,
                   fuzz::written(second.user, true, false));
    if (!first.parsed) {
        Start third;
        load(third, savedAgain);
        std::string savedThird;
        if (!vrk::userDataBytes(third.user, third.selected, savedThird) || savedThird != savedAgain)
            fuzz::fail("user data saved after a damaged start is not stable", fuzz::written(second.user, true, false),
                       fuzz::written(third.user, true, false));
    }
    return 0;
}
