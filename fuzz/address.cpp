// Address resolution: each line of the input is an address, parsed into steps and resolved in
// both forms from several fields of a document holding every kind of field, then followed as a
// pointer and read. A second part, after a line "%%", is parsed as more document first.

#include "FuzzCommon.hpp"

#include "tavric/model/TavricInternal.hpp"

namespace {

const char* const base =
    "a = 1\nb = \"a\"\nc = \"[].s.x\"\nbad = \"a..b\"\ni = 5\nempty = Nothing\np = &a\nnw = Nowhere\n"
    "[s x = 2 y = _.a q = &_.s.x [t u = 3 w = &[].p link = &_.x]]\nconst k = 4\nprivate h = 1\n"
    "locked l = 2\nlimited[30] lim = 3\nlist = [Collection 1 2 [m v = 1]]\nrp = &p\nloop = &loop\n"
    "computed = a + 1\n";

void follow(zul::Tavric& field)
{
    if (&field == &zul::nullField)
        return;
    (void)static_cast<const zul::Tavric&>(field).dereference(zul::publicUser);
    (void)field.dereference(zul::publicUser);
    (void)field.getInt(zul::publicUser);
    (void)field.getString(zul::publicUser);
    (void)field.getAddress();
}

void resolveEverywhere(zul::Tavric& root, const std::string& address)
{
    zul::Tavric* starts[] = {&root, &root.resolve("s.t"), &root.resolve("list")};
    for (zul::Tavric* start : starts) {
        if (start == &zul::nullField)
            continue;
        const zul::Tavric& readOnly = *start;
        std::vector<int> steps;
        if (readOnly.parseAddress(address, steps)) {
            (void)readOnly.walk(steps, zul::publicUser);
            (void)readOnly.walk(steps, zul::systemUser);
        }
        const zul::Tavric& found = readOnly.resolve(address, zul::publicUser);
        follow(const_cast<zul::Tavric&>(found));
        (void)readOnly.resolve(address, zul::systemUser);
    }
    // The modifiable form creates what is missing; the creations stay in the tree.
    follow(root.resolve(address, zul::publicUser));
    follow(root.resolve(address, zul::systemUser));
    // The same text as the stored address of a reference, a pointer and a string, as a
    // document would hold them.
    zul::Tavric& holder = root.child("holder", zul::publicUser);
    zul::Tavric& reference = holder.child("ref", zul::publicUser);
    zul::TavricAccess::storeReference(reference, address, false);
    follow(reference);
    zul::Tavric& pointer = holder.child("ptr", zul::publicUser);
    zul::TavricAccess::storeReference(pointer, address, true);
    follow(pointer);
    zul::Tavric& text = holder.child("str", zul::publicUser);
    zul::TavricAccess::storeString(text, address);
    follow(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string input = fuzz::textOf(data, size);
    std::string extra;
    const std::size_t cut = input.find("\n%%\n");
    if (cut != std::string::npos) {
        extra = input.substr(cut + 4);
        input.erase(cut);
    }
    fuzz::Document document;
    if (!fuzz::parse(document.root, base, true))
        fuzz::fail("the base document does not parse", fuzz::joinedMessages(document.root));
    if (!extra.empty())
        (void)fuzz::parse(document.root, extra, true);
    std::size_t start = 0;
    for (int count = 0; count < 16 && start <= input.size(); ++count) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        resolveEverywhere(document.root, input.substr(start, end - start));
        start = end + 1;
    }
    // Whatever the resolutions created or bound must still be written and resolved again.
    (void)document.root.finalize();
    fuzz::readTree(document.root);
    (void)fuzz::written(document.root, true, false);
    return 0;
}
