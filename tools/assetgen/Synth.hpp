#pragma once

#include <map>
#include <string>
#include <vector>

// A small synthesizer for the game's sounds and music. Sources are text files in content/:
//  - instruments and sound effects: lines of key=value settings (see Instrument);
//  - scores: tempo, patterns of note tokens per instrument, and a song order.
// Every error names the file, line and column. Rendering is deterministic (seeded noise).
namespace synth {

struct Instrument {
    std::string wave = "sine"; // sine square saw triangle pulse noise
    double volume = 0.5;
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.1; // seconds / level
    double detune = 0;                                                // cents of a second oscillator (0 = none)
    double vibratoRate = 0, vibratoDepth = 0;                         // Hz, cents
    double glide = 1, glideTime = 0.05;                               // start pitch ratio falling to 1
    std::string filter = "none";                                      // none low high band
    double cutoff = 4000, cutoffEnd = -1, resonance = 0.7;            // cutoffEnd < 0: fixed cutoff
    double noise = 0;                                                 // amount of noise mixed into a tonal wave
    double freq = 220;              // pitch of an untuned hit ("x" in a score) or of an effect layer
    double start = 0, length = 0.2; // effect layers only: seconds
    unsigned seed = 1;
};

// Parses "key=value" words (from column offset onwards) into an instrument.
bool parseSettings(const std::string& file, int line, const std::string& text, size_t from, Instrument& out,
                   std::string& error);

// Sound effect file: "rate N", "length S", "gain G" and "layer key=value..." lines.
bool renderEffect(const std::string& path, std::vector<float>& samples, unsigned& rate, std::string& error);

// Score with its instrument file; loops are wrapped so that the end flows into the start.
bool renderScore(const std::string& instrumentsPath, const std::string& scorePath, std::vector<float>& samples,
                 unsigned& rate, std::string& error);

// Writes mono 16-bit samples to .wav or .ogg (chosen by the extension).
bool writeSound(const std::string& path, const std::vector<float>& samples, unsigned rate, std::string& error);

} // namespace synth
