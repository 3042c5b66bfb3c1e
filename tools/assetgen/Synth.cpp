#include "Synth.hpp"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace synth {

namespace {

constexpr double Pi = 3.14159265358979323846;

std::string where(const std::string& file, int line, size_t column)
{
    return file + ":" + std::to_string(line) + ":" + std::to_string(column + 1) + ": ";
}

// ---- oscillators and filter -----------------------------------------------------------------

// Soft corners at the wave's jumps keep saw and square from folding high harmonics back.
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

class Noise {
public:
    explicit Noise(unsigned seed) : state(seed * 747796405u + 2891336453u) {}
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state & 0xFFFFFF) / double(0x800000) - 1.0;
    }

private:
    unsigned state;
};

enum class Wave { Sine, Saw, Square, Pulse, Triangle, Noise };
enum class Mode { None, Low, High, Band };

// The value a name in a table stands for; names not in it give the fallback.
template <typename Kind, std::size_t N>
Kind named(const std::string& name, const std::pair<const char*, Kind> (&table)[N], Kind fallback)
{
    for (const auto& entry : table)
        if (name == entry.first)
            return entry.second;
    return fallback;
}

const std::pair<const char*, Wave> waveNames[] = {{"sine", Wave::Sine},
                                                  {"saw", Wave::Saw},
                                                  {"square", Wave::Square},
                                                  {"pulse", Wave::Pulse},
                                                  {"triangle", Wave::Triangle}};
const std::pair<const char*, Mode> modeNames[] = {{"low", Mode::Low}, {"high", Mode::High}, {"band", Mode::Band}};

double oscillate(Wave wave, double phase, double dt, Noise& noise)
{
    if (wave == Wave::Sine)
        return std::sin(2 * Pi * phase);
    if (wave == Wave::Saw)
        return 2 * phase - 1 - polyBlep(phase, dt);
    if (wave == Wave::Square || wave == Wave::Pulse) {
        const double width = wave == Wave::Pulse ? 0.25 : 0.5;
        double v = phase < width ? 1.0 : -1.0;
        v += polyBlep(phase, dt);
        v -= polyBlep(std::fmod(phase + 1.0 - width, 1.0), dt);
        return v;
    }
    if (wave == Wave::Triangle)
        return phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
    return noise.next();
}

// State-variable filter in its trapezoidal form: stable at any cutoff below half the rate.
class Filter {
public:
    double process(Mode mode, double input, double cutoff, double resonance, double rate)
    {
        cutoff = std::clamp(cutoff, 20.0, rate * 0.45);
        const double g = std::tan(Pi * cutoff / rate);
        const double k = 1.0 / std::max(0.3, resonance);
        const double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        const double v3 = input - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        if (mode == Mode::Low)
            return v2;
        if (mode == Mode::Band)
            return v1;
        return input - k * v1 - v2; // high
    }

private:
    double ic1 = 0, ic2 = 0;
};

double envelopeAt(const Instrument& in, double t)
{
    if (t < in.attack)
        return t / in.attack;
    return in.sustain + (1 - in.sustain) * std::exp(-(t - in.attack) / std::max(1e-4, in.decay));
}

// Adds one note into out at start. With wrap > 0 the note wraps round a loop of that length;
// otherwise out grows as needed.
void renderVoice(const Instrument& in, double freq, double hold, double velocity, unsigned rate, size_t start,
                 size_t wrap, unsigned seed, std::vector<double>& out)
{
    const double total = hold + in.release;
    const size_t n = size_t(total * rate);
    Noise noise(seed);
    Filter filter;
    double phase1 = 0, phase2 = 0.37;
    const double released = envelopeAt(in, hold);
    const double detuneRatio = std::pow(2.0, in.detune / 1200.0);
    const Wave wave = named(in.wave, waveNames, Wave::Noise);
    const Mode mode = named(in.filter, modeNames, Mode::None);
    if (wrap == 0 && out.size() < start + n)
        out.resize(start + n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        double env;
        if (t < hold) {
            env = envelopeAt(in, t);
        } else {
            const double r = (t - hold) / std::max(1e-4, in.release);
            env = released * std::exp(-4 * r) * (1 - r);
        }
        double pitch = freq * (1 + (in.glide - 1) * std::exp(-t / std::max(1e-4, in.glideTime)));
        if (in.vibratoDepth > 0)
            pitch *= std::pow(2.0, in.vibratoDepth / 1200.0 * std::sin(2 * Pi * in.vibratoRate * t) *
                                       std::min(1.0, t / 0.3));
        const double dt1 = pitch / rate, dt2 = pitch * detuneRatio / rate;
        double v = oscillate(wave, phase1, dt1, noise);
        if (in.detune != 0)
            v = 0.5 * (v + oscillate(wave, phase2, dt2, noise));
        if (in.noise > 0)
            v = v * (1 - in.noise) + noise.next() * in.noise;
        phase1 = std::fmod(phase1 + dt1, 1.0);
        phase2 = std::fmod(phase2 + dt2, 1.0);
        if (mode != Mode::None) {
            double cutoff = in.cutoff;
            if (in.cutoffEnd > 0)
                cutoff = in.cutoff * std::pow(in.cutoffEnd / in.cutoff, t / total);
            v = filter.process(mode, v, cutoff, in.resonance, rate);
        }
        const double sample = v * env * in.volume * velocity;
        const size_t at = wrap ? (start + i) % wrap : start + i;
        out[at] += sample;
    }
}

std::vector<float> normalised(const std::vector<double>& mix, double peakWanted)
{
    double peak = 1e-9;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    std::vector<float> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        out[i] = float(mix[i] / peak * peakWanted);
    return out;
}

bool readLines(const std::string& path, std::vector<std::string>& lines, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A comment starts with '#' at the start of a word ("C#4" is a note, not a comment).
        for (size_t k = 0; k < line.size(); ++k)
            if (line[k] == '#' && (k == 0 || std::isspace(static_cast<unsigned char>(line[k - 1])))) {
                line.resize(k);
                break;
            }
        lines.push_back(line);
    }
    return true;
}

// Words of a line with their columns.
std::vector<std::pair<std::string, size_t>> words(const std::string& line)
{
    std::vector<std::pair<std::string, size_t>> out;
    size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p])))
            ++p;
        const size_t begin = p;
        while (p < line.size() && !std::isspace(static_cast<unsigned char>(line[p])))
            ++p;
        if (p > begin)
            out.push_back({line.substr(begin, p - begin), begin});
    }
    return out;
}

bool toNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

// "C4", "F#3", "Bb2" -> frequency.
bool noteFrequency(const std::string& name, double& freq)
{
    static const int semis[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        return false;
    int semitone = semis[name[0] - 'A'];
    size_t p = 1;
    if (name[p] == '#') {
        ++semitone;
        ++p;
    } else if (name[p] == 'b') {
        --semitone;
        ++p;
    }
    if (p + 1 != name.size() || name[p] < '0' || name[p] > '9')
        return false;
    const int midi = (name[p] - '0' + 1) * 12 + semitone;
    freq = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

struct NoteEvent {
    std::string instrument;
    std::vector<double> freqs;
    size_t step = 0, steps = 1;
    double velocity = 0.8;
};

struct Pattern {
    size_t steps = 0;
    std::vector<NoteEvent> notes;
};

} // namespace

bool parseSettings(const std::string& file, int line, const std::string& text, size_t from, Instrument& out,
                   std::string& error)
{
    for (const auto& [word, column] : words(text.substr(from))) {
        const size_t col = column + from;
        const size_t eq = word.find('=');
        if (eq == std::string::npos) {
            error = where(file, line, col) + "expected key=value, got '" + word + "'";
            return false;
        }
        const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
        if (key == "wave" || key == "filter") {
            static const char* waves[] = {"sine", "square", "saw", "triangle", "pulse", "noise"};
            static const char* filters[] = {"none", "low", "high", "band"};
            bool known = false;
            for (const char* w : key == "wave" ? std::vector<const char*>(waves, waves + 6)
                                               : std::vector<const char*>(filters, filters + 4))
                known = known || value == w;
            if (!known) {
                error = where(file, line, col + eq + 1) + "unknown " + key + " '" + value + "'";
                return false;
            }
            (key == "wave" ? out.wave : out.filter) = value;
            continue;
        }
        double number = 0;
        if (!toNumber(value, number)) {
            error = where(file, line, col + eq + 1) + "expected a number for " + key + ", got '" + value + "'";
            return false;
        }
        static const std::map<std::string, double Instrument::*> fields = {
            {"volume", &Instrument::volume},       {"attack", &Instrument::attack},
            {"decay", &Instrument::decay},         {"sustain", &Instrument::sustain},
            {"release", &Instrument::release},     {"detune", &Instrument::detune},
            {"vibrato", &Instrument::vibratoRate}, {"vibratodepth", &Instrument::vibratoDepth},
            {"glide", &Instrument::glide},         {"glidetime", &Instrument::glideTime},
            {"cutoff", &Instrument::cutoff},       {"cutoffend", &Instrument::cutoffEnd},
            {"resonance", &Instrument::resonance}, {"noise", &Instrument::noise},
            {"freq", &Instrument::freq},           {"start", &Instrument::start},
            {"length", &Instrument::length},
        };
        if (key == "seed") {
            out.seed = unsigned(number);
            continue;
        }
        auto it = fields.find(key);
        if (it == fields.end()) {
            error = where(file, line, col) + "unknown setting '" + key + "'";
            return false;
        }
        out.*(it->second) = number;
    }
    return true;
}

bool renderEffect(const std::string& path, std::vector<float>& samples, unsigned& rate, std::string& error)
{
    std::vector<std::string> lines;
    if (!readLines(path, lines, error))
        return false;
    rate = 22050;
    double length = 1.0, gain = 0.9;
    std::vector<Instrument> layers;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto w = words(lines[i]);
        if (w.empty())
            continue;
        const int lineNo = int(i) + 1;
        const std::string& key = w[0].first;
        if (key == "layer") {
            Instrument layer;
            layer.seed = unsigned(layers.size()) + 1;
            if (!parseSettings(path, lineNo, lines[i], w[0].second + 5, layer, error))
                return false;
            layers.push_back(layer);
            continue;
        }
        double value = 0;
        if ((key != "rate" && key != "length" && key != "gain") || w.size() != 2 || !toNumber(w[1].first, value)) {
            error = where(path, lineNo, w[0].second) + "expected 'rate N', 'length S', 'gain G' or 'layer ...'";
            return false;
        }
        if (key == "rate")
            rate = unsigned(value);
        else if (key == "length")
            length = value;
        else
            gain = value;
    }
    if (layers.empty()) {
        error = path + ": no layer";
        return false;
    }
    std::vector<double> mix(size_t(length * rate), 0.0);
    for (const Instrument& layer : layers) {
        std::vector<double> voice;
        renderVoice(layer, layer.freq, layer.length, 1.0, rate, size_t(layer.start * rate), 0, layer.seed, voice);
        for (size_t k = 0; k < voice.size() && k < mix.size(); ++k)
            mix[k] += voice[k];
    }
    // A short fade at the very end so nothing is cut mid-wave.
    const size_t fade = std::min(mix.size(), size_t(rate / 50));
    for (size_t k = 0; k < fade; ++k)
        mix[mix.size() - 1 - k] *= double(k) / fade;
    samples = normalised(mix, gain);
    return true;
}

bool renderScore(const std::string& instrumentsPath, const std::string& scorePath, std::vector<float>& samples,
                 unsigned& rate, std::string& error)
{
    std::vector<std::string> lines;
    if (!readLines(instrumentsPath, lines, error))
        return false;
    std::map<std::string, Instrument> instruments;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto w = words(lines[i]);
        if (w.empty())
            continue;
        if (w[0].first != "instrument" || w.size() < 2) {
            error = where(instrumentsPath, int(i) + 1, w[0].second) + "expected 'instrument NAME key=value...'";
            return false;
        }
        Instrument in;
        in.seed = unsigned(instruments.size()) * 17u + 3u;
        if (!parseSettings(instrumentsPath, int(i) + 1, lines[i], w[1].second + w[1].first.size(), in, error))
            return false;
        instruments[w[1].first] = in;
    }

    lines.clear();
    if (!readLines(scorePath, lines, error))
        return false;
    rate = 22050;
    double tempo = 120, steps = 4, gain = 0.85, echoTime = 0, echoFeedback = 0;
    bool loop = true;
    std::map<std::string, Pattern> patterns;
    std::vector<std::string> song;
    Pattern* current = nullptr;
    int patternLine = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto w = words(lines[i]);
        if (w.empty())
            continue;
        const int lineNo = int(i) + 1;
        const std::string& key = w[0].first;
        auto fail = [&](size_t column, const std::string& what) {
            error = where(scorePath, lineNo, column) + what;
            return false;
        };
        if (current) {
            if (key == "end") {
                current = nullptr;
                continue;
            }
            auto inst = instruments.find(key);
            if (inst == instruments.end())
                return fail(w[0].second, "unknown instrument '" + key + "'");
            size_t step = 0;
            long open = -1; // index of the note a '-' extends
            for (size_t k = 1; k < w.size(); ++k) {
                const std::string& token = w[k].first;
                if (token == "|")
                    continue;
                if (token == "-") {
                    if (open < 0)
                        return fail(w[k].second, "'-' holds nothing");
                    ++current->notes[size_t(open)].steps;
                    ++step;
                    continue;
                }
                open = -1;
                if (token == ".") {
                    ++step;
                    continue;
                }
                NoteEvent e;
                e.instrument = key;
                e.step = step;
                std::string body = token;
                if (body.back() == '!') {
                    e.velocity = 1.0;
                    body.pop_back();
                } else if (body.back() == '?') {
                    e.velocity = 0.5;
                    body.pop_back();
                }
                std::stringstream parts(body);
                std::string part;
                while (std::getline(parts, part, '+')) {
                    double f = 0;
                    if (part == "x")
                        f = inst->second.freq;
                    else if (!noteFrequency(part, f))
                        return fail(w[k].second, "bad note '" + part + "' (expected e.g. C4, F#3, Bb2, x, '.', '-')");
                    e.freqs.push_back(f);
                }
                current->notes.push_back(e);
                open = long(current->notes.size()) - 1;
                ++step;
            }
            if (current->steps == 0)
                current->steps = step;
            else if (step != current->steps)
                return fail(w[0].second, "this line has " + std::to_string(step) +
                                             " steps, the pattern begun on line " + std::to_string(patternLine) +
                                             " has " + std::to_string(current->steps));
            continue;
        }
        if (key == "pattern") {
            if (w.size() != 2)
                return fail(w[0].second, "expected 'pattern NAME'");
            current = &patterns[w[1].first];
            *current = Pattern{};
            patternLine = lineNo;
            continue;
        }
        if (key == "song") {
            for (size_t k = 1; k < w.size(); ++k) {
                if (!patterns.count(w[k].first))
                    return fail(w[k].second, "unknown pattern '" + w[k].first + "'");
                song.push_back(w[k].first);
            }
            continue;
        }
        if (key == "loop") {
            if (w.size() != 2 || (w[1].first != "yes" && w[1].first != "no"))
                return fail(w[0].second, "expected 'loop yes' or 'loop no'");
            loop = w[1].first == "yes";
            continue;
        }
        if (key == "echo") {
            if (w.size() != 3 || !toNumber(w[1].first, echoTime) || !toNumber(w[2].first, echoFeedback))
                return fail(w[0].second, "expected 'echo SECONDS FEEDBACK'");
            continue;
        }
        double value = 0;
        if (w.size() != 2 || !toNumber(w[1].first, value))
            return fail(w[0].second, "expected 'KEY NUMBER'");
        if (key == "rate")
            rate = unsigned(value);
        else if (key == "tempo")
            tempo = value;
        else if (key == "steps")
            steps = value;
        else if (key == "gain")
            gain = value;
        else
            return fail(w[0].second, "unknown setting '" + key + "'");
    }
    if (current) {
        error = scorePath + ":" + std::to_string(patternLine) + ":1: pattern without 'end'";
        return false;
    }
    if (song.empty()) {
        error = scorePath + ": no 'song' line";
        return false;
    }

    // Whole samples per step, so every bar starts on a sample and the loop length is exact.
    const size_t stepSamples = size_t(std::lround(rate * 60.0 / (tempo * steps)));
    size_t totalSteps = 0;
    for (const std::string& name : song)
        totalSteps += patterns[name].steps;
    const size_t loopLength = totalSteps * stepSamples;
    std::vector<double> mix(loop ? loopLength : loopLength + rate * 3, 0.0);
    size_t offset = 0;
    unsigned voiceSeed = 1;
    for (const std::string& name : song) {
        const Pattern& pattern = patterns[name];
        for (const NoteEvent& e : pattern.notes) {
            const Instrument& in = instruments[e.instrument];
            for (double f : e.freqs)
                renderVoice(in, f, double(e.steps * stepSamples) / rate, e.velocity, rate,
                            (offset + e.step) * stepSamples, loop ? loopLength : 0, in.seed + voiceSeed++, mix);
        }
        offset += pattern.steps;
    }
    if (echoTime > 0 && echoFeedback > 0) {
        const size_t delay = size_t(echoTime * rate);
        const std::vector<double> dry = mix;
        if (loop) {
            // Run the echo round the loop several times so its tail wraps into the start.
            std::vector<double> wet(loopLength, 0.0);
            for (int pass = 0; pass < 4; ++pass)
                for (size_t k = 0; k < loopLength; ++k)
                    wet[k] = dry[k] + echoFeedback * wet[(k + loopLength - delay % loopLength) % loopLength];
            mix = wet;
        } else {
            for (size_t k = delay; k < mix.size(); ++k)
                mix[k] += echoFeedback * mix[k - delay];
        }
    }
    samples = normalised(mix, gain);
    if (!loop) { // trim the silent tail
        size_t end = samples.size();
        while (end > loopLength && std::fabs(samples[end - 1]) < 1e-4f)
            --end;
        samples.resize(end);
    }
    return true;
}

bool writeSound(const std::string& path, const std::vector<float>& samples, unsigned rate, std::string& error)
{
    std::vector<sf::Int16> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = sf::Int16(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
    // The Ogg writer takes its stream serial number from rand(): fix it so files are identical.
    std::srand(1);
    {
        sf::OutputSoundFile file;
        if (!file.openFromFile(path, rate, 1)) {
            error = path + ": cannot open for writing";
            return false;
        }
        file.write(pcm.data(), pcm.size());
    } // closing flushes the encoder
    std::ifstream check(path, std::ios::binary | std::ios::ate);
    if (!check || check.tellg() <= 0) {
        error = path + ": nothing was written";
        return false;
    }
    return true;
}

} // namespace synth
