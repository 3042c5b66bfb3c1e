#include "tavric/model/NameDictionary.hpp"

namespace zul {

const std::string emptyString;

int NameDictionary::idOf(const std::string& name)
{
    try {
        auto found = ids.find(name);
        if (found != ids.end())
            return found->second;
        if (names.size() <= static_cast<std::size_t>(firstFree))
            names.resize(static_cast<std::size_t>(firstFree) + 32);
        names[static_cast<std::size_t>(firstFree)] = name;
        ids.emplace(name, firstFree);
    } catch (...) {
        return 0;
    }
    return firstFree++;
}

const std::string& NameDictionary::nameOf(int id) const
{
    if (id < firstNameId || static_cast<std::size_t>(id) >= names.size())
        return emptyString;
    return names[static_cast<std::size_t>(id)];
}

} // namespace zul
