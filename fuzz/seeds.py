#!/usr/bin/env python3
"""Makes the seed corpora under fuzz/corpus/ from the game's own texts and the tests' inputs.

Run from anywhere: python3 fuzz/seeds.py [generated-config.tvr]. The corpora are kept in the
repository, so this is needed only when the content or the tests change. The generated
configuration (build/run/lev/config.tvr) is cut to its texts and the first rows of each map
layer: the fuzzers gain nothing from thousands of equal rows but slowness.
"""

import hashlib
import os
import re
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(TOP, "fuzz", "corpus")
KEY = bytes([0x5a, 0x13, 0xc7, 0x8e, 0x21, 0xf4, 0x6b, 0x92, 0x3d, 0xa8, 0x07, 0xe5, 0x71, 0x4c, 0xb9, 0x1f,
             0x86, 0x2e, 0xd3, 0x58, 0x0a, 0x9f, 0x64, 0xc1, 0x37, 0xeb, 0x15, 0x7c, 0xa2, 0x49, 0xf0, 0x9d])

STRING = r'"(?:[^"\\\n]|\\.)*"'
# A call whose argument is made only of adjacent string literals.
def literal_calls(source, function):
    pattern = re.compile(r'\b' + function + r'\(\s*((?:' + STRING + r'\s*)+)[,)]')
    for match in pattern.finditer(source):
        yield decode(match.group(1))


def decode(literals):
    """The bytes of adjacent C string literals."""
    out = bytearray()
    for literal in re.findall(STRING, literals):
        body = literal[1:-1]
        i = 0
        while i < len(body):
            c = body[i]
            if c != "\\":
                out += c.encode("utf-8")
                i += 1
                continue
            e = body[i + 1]
            simple = {"n": 10, "t": 9, "r": 13, "a": 7, "b": 8, "f": 12, "v": 11, "\\": 92, '"': 34, "'": 39, "?": 63}
            if e in simple:
                out.append(simple[e])
                i += 2
            elif e == "x":
                m = re.match(r"[0-9a-fA-F]+", body[i + 2:])
                out.append(int(m.group(0), 16) & 0xFF)
                i += 2 + len(m.group(0))
            else:
                m = re.match(r"[0-7]{1,3}", body[i + 1:])
                out.append(int(m.group(0), 8) & 0xFF)
                i += 1 + len(m.group(0))
    return bytes(out)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def put(name, data):
    folder = os.path.join(CORPUS, name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()[:16]), "wb") as f:
        f.write(data)


def trimmed_config(data):
    """Texts whole; of each map layer the header and the first two rows."""
    out = []
    rows = 0
    for line in data.split(b"\n"):
        if b"[Collection" in line:
            rows = 0
        elif line.strip() and line.strip()[0:1].isdigit():
            rows += 1
            if rows > 2:
                continue
        out.append(line)
    return b"\n".join(out)


def main():
    texts = []
    for name in ("En.tvr", "Fr.tvr"):
        texts.append(read(os.path.join(TOP, "content", "text", name)))
    if len(sys.argv) > 1:
        texts.append(trimmed_config(read(sys.argv[1])))

    tests = os.path.join(TOP, "tests", "tavric", "text")
    documents = []
    expressions = []
    for name in sorted(os.listdir(tests)):
        if not name.endswith(".cpp"):
            continue
        source = read(os.path.join(tests, name)).decode("utf-8")
        documents += list(literal_calls(source, "parse"))
        expressions += list(literal_calls(source, "x"))
    addresses = []
    for name in ("AddressTest.cpp", "TreeTest.cpp"):
        source = read(os.path.join(TOP, "tests", "tavric", "model", name)).decode("utf-8")
        for function in ("parseAddress", "resolve"):
            addresses += list(literal_calls(source, function))
        for group in re.findall(r"for \(const char\* address : \{([^}]*)\}", source):
            addresses += [decode(s) for s in re.findall(STRING, group)]

    for data in texts + documents:
        put("parse", data)
        put("roundtrip", data)
        put("format", data)
    for data in expressions:
        put("expression", data)
    # Expressions of the documents too: what follows the first "x = ".
    for data in documents:
        if data.startswith(b"x = "):
            put("expression", data[4:].split(b"\n")[0])
    # Layouts to tidy: indentation, blanks, comments, continued lines, separators.
    for data in (b"[a\n      x=1+2 // sum\n [b y  :=  -5;z=3--5\n]   ]\n",
                 b"\n\n\t/* c\n  c */ s = \"two\n   lines\"\nc = 1 + \\\n   2\n\n\n\nw = a OR  b\r\n",
                 b"l = [Collection ((3))\n1   2\n  3 [m x = 1]\n ]\nq = [Script\n  ]\nMessage x = 1\nWarning\n"):
        put("format", data)
    # Addresses one to a line, several per seed, and one seed with a document part.
    for i in range(0, len(addresses), 4):
        put("address", b"\n".join(addresses[i:i + 4]))
    put("address", b"s.t.w->\n[]->p\nrp->->\nc->t\n%%\n[more v = &[].s x = more.v->x]\n")

    # User data: the texts the game writes, scrambled, with the final byte the loader drops.
    users = [
        b'CurrentLanguage="En"\n',
        b'CurrentLanguage="Fr"\n[Users\n[alice\nSelected=1\n]\nbob\n]\n',
        b'CurrentLanguage="De"\n[Users\n[a\nSelected=1\n]\n[b\nSelected=1\n]\n[c\nSelected=0\n]\n]\n',
        b'CurrentLanguage = "En"\n[Users [me Selected = 1 Score = 12] [you Selected = 0]]\n',
        b'[Users\n[x\nSelected="yes"\n]\n]\nCurrentLanguage=5\n',
    ]
    for text in users:
        put("userdata", bytes(b ^ KEY[i % 32] for i, b in enumerate(text)))


if __name__ == "__main__":
    main()
