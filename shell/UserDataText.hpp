#pragma once

#include <string>

#include "tavric/model/Tavric.hpp"

// The user data file's content, apart from the file itself: no SFML, no Program, so that the
// loader's text handling can be tested and fuzzed on its own.
namespace vrk {

// The document text held in the raw bytes of a user data file: unscrambled, without the file's
// final byte (an empty file is empty text), up to the first NUL.
std::string userDataText(std::string bytes);

// The selected user of a parsed user document: of the users whose "Selected" is not 0, the last
// in name order. False (name untouched) when nobody is selected.
bool findSelectedUser(zul::Tavric& document, std::string& name);

// The bytes to store for a user document: "Selected" taken from every user and set on
// selectedUser alone (nobody when empty), the document written plain and scrambled. False when
// the document cannot be written.
bool userDataBytes(zul::Tavric& document, const std::string& selectedUser, std::string& bytes);

} // namespace vrk
