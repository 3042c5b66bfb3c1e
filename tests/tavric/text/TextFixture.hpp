#pragma once

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

namespace texttest {

// Writing everything as stored (as the user given, or the public user).
inline zul::WriteOptions asStored(int user = zul::publicUser)
{
    zul::WriteOptions options;
    options.user = user;
    options.raw = true;
    return options;
}

// Loading without the resolution of references and computed fields.
inline zul::LoadOptions unresolved()
{
    zul::LoadOptions options;
    options.finalize = false;
    return options;
}

inline zul::WriteOptions writeOptions(bool raw, bool plain)
{
    zul::WriteOptions options;
    options.raw = raw;
    options.plain = plain;
    return options;
}

// One document parsed from memory, with its own dictionary.
struct Document {
    zul::NameDictionary dictionary;
    zul::Tavric root{&dictionary};

    bool parseText(const std::string& text, bool finalize = false)
    {
        zul::ParseOptions options;
        options.finalize = finalize;
        return zul::parse(root, text, options).accepted;
    }

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
        zul::WriteOptions options;
        options.raw = raw;
        options.colour = colour;
        options.plain = plain;
        zul::write(root, out, options);
        return out.str();
    }
};

struct Text : ::testing::Test, Document {
    // The name the older parser tests use.
    bool parse(const std::string& text, bool finalize = false) { return parseText(text, finalize); }
};

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
