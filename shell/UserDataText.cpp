#include "shell/UserDataText.hpp"

#include <sstream>

#include "shell/UserDataKey.hpp"
#include "tavric/text/Documents.hpp"

namespace vrk {

namespace {
constexpr int publicUser = zul::publicUser;
}

std::string userDataText(std::string bytes)
{
    scrambleUserData(bytes);
    // The file's final byte is never part of the text; an empty file is empty text.
    if (!bytes.empty())
        bytes.pop_back();
    return bytes.substr(0, bytes.find('\0'));
}

bool findSelectedUser(zul::Tavric& document, std::string& name)
{
    bool found = false;
    zul::Tavric& users = document.child("Users", publicUser);
    for (auto it = users.childrenBegin(publicUser); it != users.childrenEnd(); ++it) {
        zul::Tavric& user = *it->second;
        // When several users are marked, the last in name order wins.
        if (user.exists("Selected") && user.child("Selected", publicUser).getInt(publicUser) != 0) {
            name = it->first;
            found = true;
        }
    }
    return found;
}

bool userDataBytes(zul::Tavric& document, const std::string& selectedUser, std::string& bytes)
{
    zul::Tavric& users = document.child("Users", publicUser);
    for (auto it = users.childrenBegin(publicUser); it != users.childrenEnd(); ++it)
        it->second->removeChild("Selected");
    // The writer leaves out nameless fields, so no selection is stored when nobody was selected.
    if (!selectedUser.empty())
        users.child(selectedUser, publicUser).child("Selected", publicUser).setInt(1, publicUser);

    std::ostringstream text;
    zul::WriteOptions options;
    options.plain = true;
    if (!zul::write(document, text, options))
        return false;
    bytes = text.str();
    scrambleUserData(bytes);
    return true;
}

} // namespace vrk
