#pragma once

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tavric/model/Tavric.hpp"

namespace texttest {

// One document parsed from memory, with its own dictionary.
struct Document {
    zul::NameDictionary dictionary;
    zul::Tavric root{&dictionary};

    bool parse(const std::string& text, bool finalize = false) { return root.parse(text, finalize); }

    // Every diagnostic line, joined.
    std::string messages() const
    {
        std::string all;
        for (const std::string& line : root.messages())
            all += line;
        return all;
    }

    const std::vector<std::string>& lines() const { return root.messages(); }

    // The field at an address, found without creating anything.
    const zul::Tavric& at(const std::string& address) const
    {
        return static_cast<const zul::Tavric&>(root).resolve(address, zul::publicUser);
    }
    zul::Tavric& field(const std::string& address) { return const_cast<zul::Tavric&>(at(address)); }

    std::string written(bool plain = false, bool raw = false, bool colour = false) const
    {
        std::ostringstream out;
        root.write(out, zul::publicUser, raw, colour, plain, 0);
        return out.str();
    }
};

struct Text : ::testing::Test, Document {};

// The rights of a field's entry for its parent's identity, or -1 when it has none.
inline int parentEntry(const zul::Tavric& field)
{
    int rights = -1;
    if (field.getParent())
        field.getUserRights(static_cast<int32_t>(static_cast<uint32_t>(field.getParent()->getIdentity())), rights);
    return rights;
}

// A directory of scratch files, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        char pattern[] = "/tmp/tavric-text-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path = made ? made : "/tmp";
    }
    ~ScratchDirectory()
    {
        const std::string command = "rm -rf '" + path + "'";
        if (path != "/tmp" && std::system(command.c_str()) != 0)
            ADD_FAILURE() << "could not remove " << path;
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name, const std::string& contents) const
    {
        const std::string full = path + "/" + name;
        std::ofstream out(full, std::ios::binary);
        out << contents;
        return full;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path + "/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string path;
};

} // namespace texttest
