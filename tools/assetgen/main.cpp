// The content generator: draws the game's pictures and synthesizes its sounds and music from
// the sources in content/. One output file per call, so the build reruns only what changed.
//
//   velmora_assetgen image PALETTE NAME OUT       NAME as listed by "list", e.g. cursor/main.png
//   velmora_assetgen effect SOURCE OUT            a sound effect (.wav or .ogg)
//   velmora_assetgen music INSTRUMENTS SCORE OUT  a piece of music (.ogg)
//   velmora_assetgen list                         the picture names, one per line
#include "Art.hpp"
#include "Synth.hpp"
#include "tavric/text/WholeFile.hpp"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

// The encoders write only into files named for their format: a scratch file beside the
// destination, whose bytes then replace it whole, so that an interrupted build never leaves a
// half-written file that looks up to date.
std::string temporaryFor(const std::string& out)
{
    const fs::path target(out);
    return (target.parent_path() / ("." + target.stem().string() + ".part" + target.extension().string())).string();
}

bool prepare(const std::string& out)
{
    std::error_code ec;
    const fs::path dir = fs::path(out).parent_path();
    if (!dir.empty())
        fs::create_directories(dir, ec);
    if (ec) {
        std::cerr << out << ": cannot create directory: " << ec.message() << "\n";
        return false;
    }
    return true;
}

bool commit(const std::string& temporary, const std::string& out)
{
    std::string bytes;
    const int error = zul::readWholeFile(temporary, bytes);
    std::remove(temporary.c_str());
    if (error != 0) {
        std::cerr << temporary << ": cannot read what was encoded: " << std::strerror(error) << "\n";
        return false;
    }
    const zul::ReplaceResult written = zul::replaceWholeFile(out, bytes);
    if (!written)
        std::cerr << out << ": " << written.text() << "\n";
    return static_cast<bool>(written);
}

int image(const std::string& palettePath, const std::string& name, const std::string& out)
{
    art::Palette palette;
    std::string error;
    if (!palette.load(palettePath, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    for (const art::ImageSpec& picture : art::imageSpecs()) {
        if (picture.path != name)
            continue;
        art::Canvas canvas(picture.width, picture.height);
        picture.draw(canvas, palette);
        if (!palette.missing().empty()) {
            std::cerr << palettePath << ": colours used by " << name << " but not defined:" << palette.missing()
                      << "\n";
            return 1;
        }
        if (!prepare(out))
            return 1;
        const std::string temporary = temporaryFor(out);
        if (!canvas.toImage().saveToFile(temporary)) {
            std::cerr << out << ": cannot write the image\n";
            std::remove(temporary.c_str());
            return 1;
        }
        return commit(temporary, out) ? 0 : 1;
    }
    std::cerr << "unknown picture '" << name << "' (see: velmora_assetgen list)\n";
    return 1;
}

int sound(bool music, const std::string& first, const std::string& second, const std::string& out)
{
    std::vector<float> samples;
    unsigned rate = 0;
    std::string error;
    const bool ok = music ? synth::renderScore(first, second, samples, rate, error)
                          : synth::renderEffect(first, samples, rate, error);
    if (!ok) {
        std::cerr << error << "\n";
        return 1;
    }
    if (!prepare(out))
        return 1;
    const std::string temporary = temporaryFor(out);
    if (!synth::writeSound(temporary, samples, rate, error)) {
        std::cerr << error << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return commit(temporary, out) ? 0 : 1;
}

int usage()
{
    std::cerr
        << "usage: velmora_assetgen image PALETTE NAME OUT | effect SOURCE OUT | music INSTRUMENTS SCORE OUT | list\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "image" && argc == 5)
        return image(argv[2], argv[3], argv[4]);
    if (command == "effect" && argc == 4)
        return sound(false, argv[2], "", argv[3]);
    if (command == "music" && argc == 5)
        return sound(true, argv[2], argv[3], argv[4]);
    if (command == "list" && argc == 2) {
        for (const art::ImageSpec& picture : art::imageSpecs())
            std::cout << picture.path << "\n";
        return 0;
    }
    return usage();
}
