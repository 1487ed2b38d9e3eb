// The sounds of the media check: every sound decodes through the engine's
// resource system with libsndfile, as the game's sound layer reads it; each
// has the length, channels and rate the game needs; levels sit at the house
// loudness without clipping; loops join without a click; the two voices are
// two people; the subtitle table covers every spoken line.

#include "SoundTable.h"

#include <OGRE/Ogre.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

namespace KelvoMedia {

namespace {

struct Decoded {
    std::string error;
    int rate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / channels : 0; }
    double seconds() const { return rate ? double(frames()) / rate : 0.0; }
    float at(size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

struct Memory {
    const std::vector<unsigned char>* bytes;
    sf_count_t position;
};

sf_count_t memoryLength(void* user) { return sf_count_t(static_cast<Memory*>(user)->bytes->size()); }
sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    Memory* m = static_cast<Memory*>(user);
    const sf_count_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? memoryLength(user) : 0;
    m->position = std::max<sf_count_t>(0, std::min(base + offset, memoryLength(user)));
    return m->position;
}
sf_count_t memoryRead(void* out, sf_count_t count, void* user)
{
    Memory* m = static_cast<Memory*>(user);
    const sf_count_t n = std::max<sf_count_t>(0, std::min(count, memoryLength(user) - m->position));
    std::memcpy(out, m->bytes->data() + m->position, size_t(n));
    m->position += n;
    return n;
}
sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t memoryTell(void* user) { return static_cast<Memory*>(user)->position; }

std::vector<unsigned char> resourceBytes(const std::string& name)
{
    Ogre::DataStreamPtr stream = Ogre::ResourceGroupManager::getSingleton().openResource(name, "General");
    std::vector<unsigned char> bytes(stream->size());
    if (!bytes.empty()) {
        bytes.resize(stream->read(bytes.data(), bytes.size()));
    }
    return bytes;
}

// The whole file through the engine's resource group and libsndfile's
// virtual I/O, as the game's decoder reads it.
Decoded decode(const std::string& name)
{
    Decoded d;
    std::vector<unsigned char> bytes;
    try {
        bytes = resourceBytes(name);
    } catch (const Ogre::Exception& e) {
        d.error = "the engine cannot open it: " + e.getDescription();
        return d;
    }
    Memory memory{&bytes, 0};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) {
        d.error = std::string("libsndfile cannot decode it: ") + sf_strerror(nullptr);
        return d;
    }
    d.rate = info.samplerate;
    d.channels = info.channels;
    d.format = info.format;
    std::vector<float> block(4096 * size_t(std::max(1, info.channels)));
    sf_count_t got;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        d.samples.insert(d.samples.end(), block.begin(), block.begin() + got * info.channels);
    }
    sf_close(file);
    return d;
}

double toDb(double power) { return power > 1e-18 ? 10.0 * std::log10(power) : -180.0; }

// The loudness every media tool of ours measures: the RMS of the mono mix's
// 50 ms windows that are louder than -50 dBFS.
struct Level {
    double loudness = -180.0;  // dBFS
    double audible = 0.0;      // seconds in audible windows
    double peak = -180.0;      // dBFS, any channel
    size_t fullScale = 0;      // samples at full scale: clipped
};

Level levelOf(const Decoded& d)
{
    Level level;
    const size_t window = size_t(d.rate * 0.05);
    double energy = 0.0;
    size_t loud = 0;
    for (size_t start = 0; window && start + window <= d.frames(); start += window) {
        double e = 0.0;
        for (size_t i = start; i < start + window; ++i) {
            double mono = 0.0;
            for (int c = 0; c < d.channels; ++c) {
                mono += d.at(i, c);
            }
            mono /= d.channels;
            e += mono * mono;
        }
        e /= window;
        if (e > 1e-5) {
            energy += e;
            ++loud;
        }
    }
    float peak = 0.0f;
    for (float s : d.samples) {
        peak = std::max(peak, std::fabs(s));
        level.fullScale += std::fabs(s) >= 0.9999f;
    }
    level.loudness = loud ? toDb(energy / loud) : -180.0;
    level.audible = double(loud * window) / d.rate;
    level.peak = toDb(double(peak) * peak);
    return level;
}

double rmsDb(const Decoded& d, size_t from, size_t count)
{
    double e = 0.0;
    for (size_t i = from; i < from + count; ++i) {
        for (int c = 0; c < d.channels; ++c) {
            e += double(d.at(i, c)) * d.at(i, c);
        }
    }
    return toDb(e / (double(count) * d.channels));
}

// Empty when the sound's last sample runs on into its first as smoothly as
// its neighbours run on into each other and the level holds across the
// join; otherwise what a listener would hear there.
std::string joinFault(const Decoded& d)
{
    const size_t n = d.frames();
    const size_t near = size_t(d.rate / 100);  // 10 ms each side
    const size_t edge = size_t(d.rate / 2);    // half a second each side: a level, not a single call
    if (n < 2 * edge) {
        return "too short to loop";
    }
    for (int c = 0; c < d.channels; ++c) {
        double step = 0.0;
        for (size_t i = 0; i + 1 < near; ++i) {
            step = std::max(step, double(std::fabs(d.at(i + 1, c) - d.at(i, c))));
            step = std::max(step, double(std::fabs(d.at(n - 1 - i, c) - d.at(n - 2 - i, c))));
        }
        const double jump = std::fabs(d.at(0, c) - d.at(n - 1, c));
        if (jump > 1.5 * step + 0.002) {
            std::ostringstream out;
            out << "a click: channel " << c << " steps by " << jump << " from its last sample to its first, where "
                << "neighbouring samples move by at most " << step;
            return out.str();
        }
    }
    const double end = rmsDb(d, n - edge, edge);
    const double start = rmsDb(d, 0, edge);
    if (std::fabs(end - start) > 8.0) {
        std::ostringstream out;
        out << "the level jumps from " << end << " dBFS to " << start << " dBFS at the join";
        return out.str();
    }
    const double whole = levelOf(d).loudness;
    if (std::min(end, start) < whole - 30.0) {
        std::ostringstream out;
        out << "it falls silent at the join (" << std::min(end, start) << " dBFS against " << whole << " dBFS)";
        return out.str();
    }
    return "";
}

// Median pitch (Hz) of the voiced stretches of a speaker's lines, by
// autocorrelation at 11 kHz.
double medianPitch(const std::vector<std::string>& files)
{
    std::vector<double> pitches;
    for (const std::string& file : files) {
        const Decoded d = decode(file);
        if (!d.error.empty() || d.channels != 1) {
            continue;
        }
        const int step = std::max(1, d.rate / 11025);
        std::vector<double> x;
        for (size_t i = 0; i < d.frames(); i += step) {
            x.push_back(d.at(i, 0));
        }
        const double rate = double(d.rate) / step;
        const size_t frame = size_t(rate * 0.04), minLag = size_t(rate / 400), maxLag = size_t(rate / 60);
        for (size_t start = 0; start + frame + maxLag < x.size(); start += size_t(rate * 0.06)) {
            double energy = 0.0;
            for (size_t i = 0; i < frame; ++i) {
                energy += x[start + i] * x[start + i];
            }
            if (toDb(energy / frame) < -35.0) {
                continue;
            }
            double best = 0.0;
            size_t bestLag = 0;
            for (size_t lag = minLag; lag <= maxLag; ++lag) {
                double r = 0.0, e2 = 0.0;
                for (size_t i = 0; i < frame; ++i) {
                    r += x[start + i] * x[start + i + lag];
                    e2 += x[start + i + lag] * x[start + i + lag];
                }
                const double normalised = r / std::sqrt(energy * e2 + 1e-12);
                if (normalised > best) {
                    best = normalised;
                    bestLag = lag;
                }
            }
            if (best > 0.6 && bestLag) {
                pitches.push_back(rate / bestLag);
            }
        }
    }
    if (pitches.empty()) {
        return 0.0;
    }
    std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
    return pitches[pitches.size() / 2];
}

bool validUtf8(const std::vector<unsigned char>& bytes, size_t* bad)
{
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = bytes[i];
        const size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 9;
        if (extra == 9 || i + extra >= bytes.size()) {
            *bad = i;
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) {
                *bad = i;
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

struct SpokenLine {
    std::string voice;
    std::string text;
};

// The subtitle table: "[voice NAME]" sections of "KEY = TEXT" lines; "#"
// comments; "KEY.say" lines are for the synthesiser only.
std::map<std::string, SpokenLine> subtitleTable(std::vector<std::string>* problems)
{
    std::map<std::string, SpokenLine> lines;
    const std::vector<unsigned char> bytes = resourceBytes("dialogue_de.txt");
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line, voice;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = Ogre::StringUtil::replaceAll(line, "\r", "");
        Ogre::StringUtil::trim(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.rfind("[voice ", 0) == 0 && line.back() == ']') {
            voice = line.substr(7, line.size() - 8);
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            problems->push_back("line " + std::to_string(number) + " is neither a section nor KEY = TEXT");
            continue;
        }
        std::string key = line.substr(0, eq), text = line.substr(eq + 1);
        Ogre::StringUtil::trim(key);
        Ogre::StringUtil::trim(text);
        if (Ogre::StringUtil::endsWith(key, ".say")) {
            continue;
        }
        if (lines.count(key)) {
            problems->push_back(key + " is given twice");
        }
        lines[key] = {voice, text};
    }
    return lines;
}

std::string stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

bool isHeroLine(const std::string& file) { return file.rfind("player", 0) == 0 || file.rfind("StopSound", 0) == 0; }

const char* kindName(SoundKind kind)
{
    switch (kind) {
    case SoundKind::Speech: return "speech";
    case SoundKind::Ambience: return "ambience";
    case SoundKind::Effect: return "effect";
    case SoundKind::Music: return "music";
    }
    return "?";
}

// The house loudness of each kind (the media tools' targets, with room for
// the measuring differences of resampling and MP3).
void loudnessRange(SoundKind kind, double* low, double* high)
{
    switch (kind) {
    case SoundKind::Speech: *low = -23.0; *high = -17.0; break;
    case SoundKind::Music: *low = -23.0; *high = -17.0; break;
    case SoundKind::Ambience: *low = -28.0; *high = -20.0; break;
    case SoundKind::Effect: *low = -23.0; *high = -15.0; break;
    }
}

} // namespace

// gtest names a failing case by its file, not by the bytes of its record
void PrintTo(const SoundNeed& need, std::ostream* out) { *out << need.file; }

void checkSoundFile(const std::string& file)
{
    const Decoded d = decode(file);
    ASSERT_TRUE(d.error.empty()) << file << ": " << d.error;
    EXPECT_GT(d.frames(), 0u) << file << " holds no samples";
    EXPECT_TRUE(d.channels == 1 || d.channels == 2) << file << " has " << d.channels << " channels";
    EXPECT_TRUE(d.rate == 22050 || d.rate == 44100) << file << " plays at " << d.rate << " Hz";
    for (float s : d.samples) {
        if (!std::isfinite(s)) {
            ADD_FAILURE() << file << " decodes to samples that are not numbers";
            break;
        }
    }
}

void checkTextFile(const std::string& file)
{
    const std::vector<unsigned char> bytes = resourceBytes(file);
    size_t bad = 0;
    EXPECT_FALSE(bytes.empty()) << file << " is empty";
    EXPECT_TRUE(validUtf8(bytes, &bad)) << file << " is not UTF-8 text (byte " << bad << ")";
}

namespace {

class SoundCheck : public ::testing::TestWithParam<SoundNeed> {};

TEST_P(SoundCheck, HasTheLengthChannelsAndRateTheGameNeeds)
{
    const SoundNeed& need = GetParam();
    const Decoded d = decode(need.file);
    ASSERT_TRUE(d.error.empty()) << need.file << ": " << d.error;
    if (need.placed) {
        EXPECT_EQ(d.channels, 1) << need.file << " may be placed in the world, where only mono sounds are positioned";
    }
    if (need.kind == SoundKind::Music) {
        EXPECT_EQ(d.channels, 2) << need.file << ": music is stereo";
        EXPECT_EQ(d.rate, 44100) << need.file;
    }
    EXPECT_GE(d.seconds(), need.minSeconds) << need.file << " is too short";
    EXPECT_LE(d.seconds(), need.maxSeconds) << need.file << " is too long";
}

TEST_P(SoundCheck, IsAudibleAtItsKindsLoudnessAndNeverClips)
{
    const SoundNeed& need = GetParam();
    const Decoded d = decode(need.file);
    ASSERT_TRUE(d.error.empty()) << need.file << ": " << d.error;
    const Level level = levelOf(d);
    double low = 0.0, high = 0.0;
    loudnessRange(need.kind, &low, &high);
    EXPECT_GE(level.loudness, low) << need.file << " is too quiet for " << kindName(need.kind);
    EXPECT_LE(level.loudness, high) << need.file << " is too loud for " << kindName(need.kind);
    EXPECT_GE(level.audible, std::min(0.3, 0.5 * d.seconds())) << need.file << " is almost silent";
    if (need.kind == SoundKind::Speech) {
        EXPECT_GE(level.audible, 0.3 * d.seconds()) << need.file << " is mostly silence";
    }
    EXPECT_LE(level.peak, -0.5) << need.file << " peaks too close to full scale";
    EXPECT_EQ(level.fullScale, 0u) << need.file << " clips";
}

std::string soundName(const ::testing::TestParamInfo<SoundNeed>& info)
{
    std::string name = info.param.file;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sounds, SoundCheck, ::testing::ValuesIn(soundNeeds()), soundName);

class LoopCheck : public ::testing::TestWithParam<SoundNeed> {};

TEST_P(LoopCheck, RunsOnFromItsEndIntoItsStart)
{
    const Decoded d = decode(GetParam().file);
    ASSERT_TRUE(d.error.empty()) << GetParam().file << ": " << d.error;
    const std::string fault = joinFault(d);
    EXPECT_TRUE(fault.empty()) << GetParam().file << " loops with " << fault;
}

std::vector<SoundNeed> loopNeeds()
{
    std::vector<SoundNeed> out;
    for (const SoundNeed& need : soundNeeds()) {
        if (need.loops) {
            out.push_back(need);
        }
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Sounds, LoopCheck, ::testing::ValuesIn(loopNeeds()), soundName);

// The join check itself: a tone of whole periods joins cleanly; the same
// tone cut a quarter period early clicks; a loop that starts with silence
// has a hole.
TEST(SoundChecks, JoinCheckHearsAClickAndAHole)
{
    auto tone = [](size_t frames, size_t silent) {
        Decoded d;
        d.rate = 44100;
        d.channels = 1;
        for (size_t i = 0; i < frames; ++i) {
            d.samples.push_back(i < silent ? 0.0f : float(0.5 * std::sin(2.0 * M_PI * 441.0 * i / 44100.0)));
        }
        return d;
    };
    EXPECT_EQ(joinFault(tone(3 * 44100, 0)), "");
    EXPECT_NE(joinFault(tone(3 * 44100 + 25, 0)).find("click"), std::string::npos);
    EXPECT_NE(joinFault(tone(3 * 44100, 22050)), "");
}

TEST(SoundChecks, OldManSpeaksLowerAndSlowerThanTheHero)
{
    std::vector<std::string> oldman, hero;
    double oldSeconds = 0.0, heroSeconds = 0.0;
    size_t oldLetters = 0, heroLetters = 0;
    std::vector<std::string> problems;
    const auto table = subtitleTable(&problems);
    for (const SoundNeed& need : soundNeeds()) {
        if (need.kind != SoundKind::Speech || !table.count(stem(need.file))) {
            continue;
        }
        const bool isHero = isHeroLine(need.file);
        (isHero ? hero : oldman).push_back(need.file);
        size_t letters = 0;
        for (unsigned char c : table.at(stem(need.file)).text) {
            letters += std::isalpha(c) || c >= 0xC0;  // a UTF-8 umlaut counts once
        }
        const double seconds = decode(need.file).seconds();
        (isHero ? heroSeconds : oldSeconds) += seconds;
        (isHero ? heroLetters : oldLetters) += letters;
    }
    ASSERT_FALSE(oldman.empty());
    ASSERT_FALSE(hero.empty());
    const double oldPitch = medianPitch(oldman), heroPitch = medianPitch(hero);
    RecordProperty("old_man_pitch_hz", std::to_string(oldPitch));
    RecordProperty("hero_pitch_hz", std::to_string(heroPitch));
    RecordProperty("old_man_seconds_per_letter", std::to_string(oldSeconds / oldLetters));
    RecordProperty("hero_seconds_per_letter", std::to_string(heroSeconds / heroLetters));
    EXPECT_GT(oldPitch, 60.0) << "no voiced speech found in the old man's lines";
    EXPECT_LT(oldPitch, 0.85 * heroPitch) << "the old man (" << oldPitch << " Hz) does not speak clearly lower than "
                                          << "the hero (" << heroPitch << " Hz)";
    EXPECT_GT(oldSeconds / oldLetters, 1.1 * heroSeconds / heroLetters)
        << "the old man takes " << oldSeconds / oldLetters << " s a letter, the hero " << heroSeconds / heroLetters;
}

TEST(SoundChecks, SubtitleTableHasEveryLineAndNoOther)
{
    std::vector<std::string> problems;
    const auto table = subtitleTable(&problems);
    for (const std::string& problem : problems) {
        ADD_FAILURE() << "dialogue_de.txt: " << problem;
    }
    std::set<std::string> spoken;
    for (const SoundNeed& need : soundNeeds()) {
        if (need.kind != SoundKind::Speech) {
            continue;
        }
        const std::string key = stem(need.file);
        spoken.insert(key);
        auto line = table.find(key);
        if (line == table.end()) {
            ADD_FAILURE() << "dialogue_de.txt has no subtitle for " << need.file;
            continue;
        }
        EXPECT_FALSE(line->second.text.empty()) << key << " has an empty subtitle";
        EXPECT_EQ(line->second.voice, isHeroLine(need.file) ? "hero" : "oldman") << key << " is in the wrong voice";
    }
    for (const auto& line : table) {
        EXPECT_TRUE(spoken.count(line.first)) << "dialogue_de.txt has a line " << line.first << " that no sound speaks";
    }
}

TEST(SoundChecks, SpeechMusicAndAmbienceSitAtOneLoudness)
{
    std::map<SoundKind, std::vector<double>> levels;
    for (const SoundNeed& need : soundNeeds()) {
        const Decoded d = decode(need.file);
        if (d.error.empty()) {
            levels[need.kind].push_back(levelOf(d).loudness);
        }
    }
    auto mean = [&](SoundKind kind) {
        double sum = 0.0;
        for (double v : levels[kind]) {
            sum += v;
        }
        return levels[kind].empty() ? -180.0 : sum / levels[kind].size();
    };
    const double speech = mean(SoundKind::Speech), music = mean(SoundKind::Music);
    const double ambience = mean(SoundKind::Ambience);
    EXPECT_NEAR(speech, music, 2.0) << "speech and music are not equally loud";
    // ambience is a bed under both: a little quieter, never louder
    EXPECT_LE(ambience, speech);
    EXPECT_GE(ambience, speech - 8.0) << "the ambience is lost under the speech";
    const auto& lines = levels[SoundKind::Speech];
    if (!lines.empty()) {
        const auto range = std::minmax_element(lines.begin(), lines.end());
        EXPECT_LE(*range.second - *range.first, 4.0) << "some lines are much louder than others";
    }
}

TEST(SoundChecks, ZombieMusicIsARealMp3)
{
    const Decoded d = decode("ZombiWar.mp3");
    ASSERT_TRUE(d.error.empty()) << d.error;
    EXPECT_EQ(d.format & SF_FORMAT_TYPEMASK, SF_FORMAT_MPEG) << "ZombiWar.mp3 is not MPEG audio inside";
}

} // namespace
} // namespace KelvoMedia
