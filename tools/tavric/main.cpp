// tavric: the content authors' tool. Checks, formats, queries and converts Tavric documents, and
// scrambles or unscrambles the player's data file.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "shell/UserDataKey.hpp"
#include "tavric/model/Tavric.hpp"
#include "tools/tavric/fmt/FmtCommand.hpp"

namespace {

using zul::Tavric;

constexpr int exitAccepted = 0;
constexpr int exitRefused = 1;
constexpr int exitUsage = 2;

const char* const usageText =
    "usage: tavric check FILE... | fmt [--check] [--diff] [-w] FILE... | dump [--plain] [--raw] [--color] FILE | "
    "get FILE ADDRESS [--as bool|int|real|char|string] | json FILE | scramble FILE | unscramble FILE | --help\n";

int usage()
{
    std::cerr << usageText;
    return exitUsage;
}

void printMessages(const Tavric& root)
{
    for (const std::string& line : root.messages())
        std::cerr << line;
    std::cerr.flush();
}

// Arguments after the command: options (--x or --x=value, or --as followed by its value) and the rest.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::string> options;
    std::string as;
    bool valid = true;
};

Arguments split(int argc, char** argv, bool takesAs)
{
    Arguments result;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            result.positional.push_back(arg);
        } else if (takesAs && arg == "--as") {
            if (i + 1 >= argc)
                result.valid = false;
            else
                result.as = argv[++i];
        } else if (takesAs && arg.rfind("--as=", 0) == 0) {
            result.as = arg.substr(5);
        } else {
            result.options.push_back(arg);
        }
    }
    return result;
}

int check(int argc, char** argv)
{
    const Arguments args = split(argc, argv, false);
    if (!args.valid || !args.options.empty() || args.positional.empty())
        return usage();
    bool all = true;
    for (const std::string& path : args.positional) {
        zul::NameDictionary names;
        Tavric root(&names);
        const bool accepted = root.load(path, true);
        printMessages(root);
        all = all && accepted;
    }
    return all ? exitAccepted : exitRefused;
}

int format(int argc, char** argv)
{
    const Arguments args = split(argc, argv, false);
    bool plain = false;
    bool raw = false;
    bool colour = false;
    for (const std::string& option : args.options) {
        if (option == "--plain")
            plain = true;
        else if (option == "--raw")
            raw = true;
        else if (option == "--color")
            colour = true;
        else
            return usage();
    }
    if (!args.valid || args.positional.size() != 1)
        return usage();
    zul::NameDictionary names;
    Tavric root(&names);
    const bool accepted = root.load(args.positional[0], false);
    printMessages(root);
    if (!accepted)
        return exitRefused;
    const bool written = root.write(std::cout, zul::publicUser, raw, colour, plain, 0);
    std::cout.flush();
    return written && std::cout ? exitAccepted : exitRefused;
}

int get(int argc, char** argv)
{
    const Arguments args = split(argc, argv, true);
    const std::string type = args.as.empty() ? "string" : args.as;
    if (!args.valid || !args.options.empty() || args.positional.size() != 2 ||
        (type != "bool" && type != "int" && type != "real" && type != "char" && type != "string"))
        return usage();
    zul::NameDictionary names;
    Tavric root(&names);
    if (!root.load(args.positional[0], true)) {
        printMessages(root);
        return exitRefused;
    }
    // The read-only walk creates nothing; the modifiable read evaluates computed fields.
    const Tavric& found = static_cast<const Tavric&>(root).resolve(args.positional[1], zul::publicUser);
    if (&found == &zul::nullField) {
        printMessages(root);
        return exitRefused;
    }
    Tavric& field = const_cast<Tavric&>(found);
    const std::size_t before = root.messages().size();
    std::string text;
    if (type == "bool") {
        text = field.getBool(zul::publicUser) ? "true" : "false";
    } else if (type == "int") {
        text = std::to_string(field.getInt(zul::publicUser));
    } else if (type == "real") {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g", field.getReal(zul::publicUser));
        text = buffer;
    } else if (type == "char") {
        text = std::to_string(field.getChar(zul::publicUser));
    } else {
        text = field.getString(zul::publicUser);
    }
    printMessages(root);
    if (root.messages().size() != before)
        return exitRefused;
    std::cout << text << '\n';
    return std::cout.flush() ? exitAccepted : exitRefused;
}

nlohmann::json toJson(const Tavric& field);

nlohmann::json valueJson(const Tavric& field)
{
    switch (field.getKind()) {
    case zul::KindReference:
    case zul::KindPointer:
        return field.getAddressText();
    case zul::KindProgram:
    case zul::KindSequence:
    case zul::KindXml:
        return nullptr;
    case zul::KindCollection: {
        nlohmann::json array = nlohmann::json::array();
        if (const zul::Collection* elements = field.getCollection())
            for (const Tavric* element : elements->elements)
                array.push_back(toJson(*element));
        return array;
    }
    default:
        break;
    }
    if (field.isEmpty())
        return nullptr;
    switch (field.getType()) {
    case zul::TypeBool:
        return field.rawBool();
    case zul::TypeInt:
    case zul::TypeDescriptor:
        return field.rawInt();
    case zul::TypeReal:
        return field.rawReal();
    case zul::TypeChar: {
        // The character's bytes, first byte in the low half.
        const unsigned value = static_cast<unsigned>(field.rawInt() & 0xFFFF);
        std::string text(1, static_cast<char>(value & 0xFF));
        if (value >> 8)
            text += static_cast<char>(value >> 8);
        return text;
    }
    case zul::TypeString:
        return field.rawString();
    case zul::TypePointer:
        return field.rawPointer();
    default:
        return nullptr;
    }
}

// A field with children is an object (its own value, if any, under "="); one without is its value.
nlohmann::json toJson(const Tavric& field)
{
    if (field.childCount() == 0)
        return valueJson(field);
    nlohmann::json object = nlohmann::json::object();
    if (!field.isEmpty() || field.getKind() == zul::KindCollection)
        object["="] = valueJson(field);
    for (const auto& entry : field.childrenById())
        if (!entry.second->getName().empty())
            object[entry.second->getName()] = toJson(*entry.second);
    return object;
}

int json(int argc, char** argv)
{
    const Arguments args = split(argc, argv, false);
    if (!args.valid || !args.options.empty() || args.positional.size() != 1)
        return usage();
    zul::NameDictionary names;
    Tavric root(&names);
    const bool accepted = root.load(args.positional[0], true);
    printMessages(root);
    if (!accepted)
        return exitRefused;
    nlohmann::json document = toJson(root);
    if (root.childCount() == 0 && root.isEmpty())
        document = nlohmann::json::object();
    std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return std::cout.flush() ? exitAccepted : exitRefused;
}

int scramble(int argc, char** argv)
{
    const Arguments args = split(argc, argv, false);
    if (!args.valid || !args.options.empty() || args.positional.size() != 1)
        return usage();
    const std::string& path = args.positional[0];
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in)
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        std::cerr << "tavric: cannot read '" << path << "': " << std::strerror(errno) << '\n';
        return exitRefused;
    }
    // The transform is its own inverse: scramble and unscramble are the same call.
    vrk::scrambleUserData(bytes);
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return std::cout.flush() ? exitAccepted : exitRefused;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::cout << usageText;
        return exitAccepted;
    }
    if (command == "check")
        return check(argc, argv);
    if (command == "fmt")
        return tavricfmt::runFmt(std::vector<std::string>(argv + 2, argv + argc), std::cin, std::cout, std::cerr);
    if (command == "dump")
        return format(argc, argv);
    if (command == "get")
        return get(argc, argv);
    if (command == "json")
        return json(argc, argv);
    if (command == "scramble" || command == "unscramble")
        return scramble(argc, argv);
    return usage();
}
