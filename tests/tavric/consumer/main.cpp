// Prints one field of a Tavric document: tavric_consumer FILE ADDRESS.
#include <iostream>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tavric_consumer FILE ADDRESS\n";
        return 2;
    }
    zul::NameDictionary names;
    zul::Tavric document(&names);
    const zul::ReadResult loaded = zul::load(document, argv[1]);
    if (!loaded) {
        // Where each diagnostic stands: columns count bytes.
        for (const zul::Diagnostic& diagnostic : loaded.diagnostics)
            std::cerr << diagnostic.range.entry << ", line " << diagnostic.range.start.line << ", col "
                      << diagnostic.range.start.column << ": " << diagnostic.text << "\n";
        return 1;
    }
    // The read-only form looks the field up without creating it.
    const zul::Tavric& field = static_cast<const zul::Tavric&>(document).resolve(argv[2]);
    if (&field == &zul::nullField) {
        std::cerr << "no field " << argv[2] << "\n";
        return 1;
    }
    std::cout << field.getString() << "\n";
    return 0;
}
