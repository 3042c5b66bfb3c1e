// Expression parse and evaluation: the input is the right side of "e = " in a document whose
// fields give the operands every type, kind and right; e and the whole tree are then read (each
// read evaluates what was not folded) and written with its expressions.

#include "FuzzCommon.hpp"

namespace {

const char* const context =
    "i = 6\nn = -3\nz = 0\nbig = 0x7fffffffffffffff\nsmall = -0x8000000000000000\nr = 2.5\n"
    "t = True\nf = False\nch = 'c'\ns = \"ab\"\nempty = Nothing\nd = $12\nptr = #ff\nnul = NULL\n"
    "p = &i\nq = &s\nnw = Nowhere\nref = i\nconst k = 7\nprivate hidden = 1\nlocked lk = 2\n"
    "int ti = 1\nstring ts = \"x\"\nbool tb = True\nreal tr = 1.0\nchar tc = 'z'\n"
    "[node a = 1 b = a + i c = b * 2 [deep v = _._.i]]\n"
    "list = [Collection (2) 1 2 3 [m v = 4]]\ncomputed = i * n + 1\n";

void readAll(fuzz::Document& document)
{
    zul::Tavric& e = document.root.child("e", zul::publicUser);
    // Twice: results kept from the first evaluation must read the same way again.
    for (int pass = 0; pass < 2; ++pass) {
        (void)e.getInt(zul::publicUser);
        (void)e.getReal(zul::publicUser);
        (void)e.getString(zul::publicUser);
        (void)e.getBool(zul::publicUser);
        (void)e.getChar(zul::publicUser);
        (void)e.getPointer(zul::publicUser);
        (void)e.getInt(zul::systemUser);
    }
    fuzz::readTree(document.root);
    (void)fuzz::written(document.root, true, true);
    (void)fuzz::written(document.root, false, false, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string expression = fuzz::textOf(data, size);
    {
        // Resolved after the parse, as the application loads its documents.
        fuzz::Document document;
        (void)fuzz::parse(document.root, std::string(context) + "e = " + expression + "\n", true);
        readAll(document);
    }
    {
        // Left unresolved: the first read evaluates.
        fuzz::Document document;
        (void)fuzz::parse(document.root, std::string(context) + "self = self + 1\n[inner e = " + expression + "\n]\n",
                          false);
        (void)document.root.resolve("inner.e").getInt(zul::publicUser);
        readAll(document);
    }
    return 0;
}
