// Costs of the sound subsystem, each beside a peer in the same run:
// - mixing one second of audio with 250 playing channels, against 1 channel
//   (loaded 3D sounds, and 2D streams that decode as they play);
// - one frame's listener update with 250 sounds following nodes, against
//   none following;
// - resident memory while a 10-minute 2D file streams, against the same
//   file loaded whole as a 3D sound.
// Mixing runs on the silent device with a clock the benchmark advances, so
// a second of audio costs only its CPU time.

#include "SoundManager/SoundManager.h"
#include "audio/AudioSystem.h"

#include <Ogre.h>

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Kelvo;
namespace fs = std::filesystem;

const int kChannels = 250;
const double kFrameSeconds = 1.0 / 60.0;

struct TempFolder {
    std::string path;
    TempFolder()
    {
        char pattern[] = "/tmp/kelvo-sound-bench-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

TempFolder& folder()
{
    static TempFolder instance;
    return instance;
}

// A sine tone of whole cycles, written block by block so that a long file
// needs no long buffer.
void writeTone(const std::string& path, double seconds, int channels)
{
    SF_INFO info = {};
    info.samplerate = 44100;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<sf_count_t>(seconds * info.samplerate);
    std::vector<float> block(4410 * static_cast<std::size_t>(channels));
    for (sf_count_t done = 0; done < frames; done += 4410) {
        for (int frame = 0; frame < 4410; ++frame) {
            const float value = 0.3f * static_cast<float>(std::sin(2.0 * M_PI * 441.0 * frame / 44100.0));
            for (int channel = 0; channel < channels; ++channel) {
                block[static_cast<std::size_t>(frame * channels + channel)] = value;
            }
        }
        sf_writef_float(file, block.data(), std::min<sf_count_t>(4410, frames - done));
    }
    sf_close(file);
}

double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The layer's file callbacks over plain files; the file key is the path.
AudioResult openFile(const void* key, std::uint64_t* size, void** handle)
{
    std::FILE* file = std::fopen(static_cast<const char*>(key), "rb");
    if (!file) {
        return kAudioErrFileNotFound;
    }
    std::fseek(file, 0, SEEK_END);
    *size = static_cast<std::uint64_t>(std::ftell(file));
    std::fseek(file, 0, SEEK_SET);
    *handle = file;
    return kAudioOk;
}

AudioResult closeFile(void* handle)
{
    std::fclose(static_cast<std::FILE*>(handle));
    return kAudioOk;
}

AudioResult readFile(void* handle, void* buffer, std::uint32_t size, std::uint32_t* read)
{
    *read = static_cast<std::uint32_t>(std::fread(buffer, 1, size, static_cast<std::FILE*>(handle)));
    return *read == 0 ? kAudioErrFileEof : kAudioOk;
}

AudioResult seekFile(void* handle, std::uint64_t position)
{
    std::fseek(static_cast<std::FILE*>(handle), static_cast<long>(position), SEEK_SET);
    return kAudioOk;
}

// A silent-device sound system whose clock only moves when told.
struct MixingSystem {
    AudioSystem system;
    double now = 0.0;

    MixingSystem()
    {
        system.init(kChannels, kAudioInitSilentDevice);
        system.setClock([this]() { return now; });
        AudioFileCallbacks callbacks;
        callbacks.open = openFile;
        callbacks.close = closeFile;
        callbacks.read = readFile;
        callbacks.seek = seekFile;
        system.setFileSystem(callbacks, 2048);
    }
};

void BM_MixOneSecondLoaded3D(benchmark::State& state)
{
    static const std::string path = folder().path + "/loop3d.wav";
    if (!fs::exists(path)) {
        writeTone(path, 2.0, 1);
    }
    MixingSystem mixing;
    AudioSound* sound = nullptr;
    mixing.system.createSound(path.c_str(), kAudioMode3D | kAudioModeLoopNormal, &sound);
    const int playing = static_cast<int>(state.range(0));
    for (int i = 0; i < playing; ++i) {
        AudioChannel* channel = nullptr;
        mixing.system.playSound(AudioSystem::kFreeChannel, sound, false, &channel);
        // Spread around the listener, inside the roll-off range.
        AudioVector position;
        position.x = static_cast<float>(10.0 * std::cos(i * 0.1));
        position.z = static_cast<float>(10.0 * std::sin(i * 0.1));
        channel->set3DAttributes(&position, nullptr);
        channel->set3DMinMaxDistance(1.0f, 50.0f);
    }
    for (auto _ : state) {
        mixing.now += 1.0;
        mixing.system.update();
    }
    state.counters["playing"] = mixing.system.getChannelsPlaying();
    state.SetLabel("per second of audio");
}
BENCHMARK(BM_MixOneSecondLoaded3D)->Arg(1)->Arg(kChannels)->Unit(benchmark::kMillisecond);

void BM_MixOneSecondStreamed2D(benchmark::State& state)
{
    const int playing = static_cast<int>(state.range(0));
    MixingSystem mixing;
    std::vector<std::string> paths;
    for (int i = 0; i < playing; ++i) {
        paths.push_back(folder().path + "/stream" + std::to_string(i) + ".wav");
        if (!fs::exists(paths.back())) {
            writeTone(paths.back(), 1.0, 2);
        }
    }
    for (const std::string& path : paths) {
        AudioSound* sound = nullptr;
        mixing.system.createStream(path.c_str(), kAudioMode2D | kAudioModeLoopNormal, &sound);
        mixing.system.playSound(AudioSystem::kFreeChannel, sound, false, nullptr);
    }
    for (auto _ : state) {
        // A second in frames, as the game would update: streams refill.
        for (int frame = 0; frame < 60; ++frame) {
            mixing.now += kFrameSeconds;
            mixing.system.update();
        }
    }
    state.counters["playing"] = mixing.system.getChannelsPlaying();
    state.SetLabel("per second of audio");
}
BENCHMARK(BM_MixOneSecondStreamed2D)->Arg(1)->Arg(kChannels)->Unit(benchmark::kMillisecond);

// A headless engine with "General" on the benchmark folder, and the sound
// manager on a silent device whose clock stands still (no mixing).
struct Game {
    Ogre::LogManager* logs = new Ogre::LogManager();
    Ogre::Root* root = nullptr;
    Ogre::SceneManager* scene = nullptr;
    SoundManager* sound = nullptr;

    Game()
    {
        logs->createLog("bench.log", true, false, true)->setLogDetail(Ogre::LL_LOW);
        root = new Ogre::Root("", "", "");
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder().path, "FileSystem", "General");
        scene = root->createSceneManager();
        sound = new SoundManager();
        sound->Initialize();
    }
    ~Game()
    {
        delete root;
        delete sound;
        delete logs;
    }
};

void BM_UpdateListener(benchmark::State& state)
{
    const std::string file = "follow.wav";
    if (!fs::exists(folder().path + "/" + file)) {
        writeTone(folder().path + "/" + file, 2.0, 1);
    }
    Game game;
    double now = 0.0;
    game.sound->getAudioSystem()->setClock([&now]() { return now; });
    const int sound = game.sound->CreateLoopedSound3D(file);
    const int followed = static_cast<int>(state.range(0));
    std::vector<Ogre::SceneNode*> nodes;
    for (int i = 0; i < followed; ++i) {
        nodes.push_back(game.scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(i, 0, -i)));
        int channel = -1;
        game.sound->PlaySound(sound, nodes.back(), &channel);
    }
    Ogre::SceneNode* listener = game.scene->getRootSceneNode()->createChildSceneNode();
    for (auto _ : state) {
        listener->translate(0.1f, 0, 0);
        listener->yaw(Ogre::Degree(1));
        for (Ogre::SceneNode* node : nodes) {
            node->translate(0, 0, 0.05f);
        }
        game.sound->UpdateListener(listener, static_cast<float>(kFrameSeconds));
        game.sound->Update();
    }
    state.counters["followed"] = followed;
    state.counters["playing"] = game.sound->getAudioSystem()->getChannelsPlaying();
}
BENCHMARK(BM_UpdateListener)->Arg(0)->Arg(kChannels)->Unit(benchmark::kMicrosecond);

// Plays the whole 10-minute file in frames, measuring resident memory once
// the stream runs and again at its end.
void BM_TenMinuteFileMemory(benchmark::State& state)
{
    const bool streamed = state.range(0) == 1;
    const std::string file = "tenminutes.wav";
    if (!fs::exists(folder().path + "/" + file)) {
        std::fprintf(stderr, "writing a 10-minute stereo test file...\n");
        writeTone(folder().path + "/" + file, 600.0, 2);
    }
    for (auto _ : state) {
        Game game;
        double now = 0.0;
        game.sound->getAudioSystem()->setClock([&now]() { return now; });
        const double before = residentMegabytes();
        const int sound = streamed ? game.sound->CreateSound2D(file) : game.sound->CreateSound3D(file);
        int channel = -1;
        game.sound->PlaySound(sound, nullptr, &channel);
        Ogre::SceneNode* listener = game.scene->getRootSceneNode()->createChildSceneNode();
        double early = 0.0;
        const int updates = static_cast<int>(600.0 / 0.1);
        for (int update = 1; update <= updates + 5; ++update) {
            now += 0.1;
            game.sound->UpdateListener(listener, 0.1f);
            game.sound->Update();
            if (update == 300) {
                early = residentMegabytes();
            }
            if (update % 1500 == 0) {
                std::fprintf(stderr, "  %s: %d of 600 seconds played\n", streamed ? "streamed" : "loaded", update / 10);
            }
        }
        state.counters["resident_MB_after_30s"] = early - before;
        state.counters["resident_MB_after_600s"] = residentMegabytes() - before;
        state.counters["still_playing"] = game.sound->IsPlaying(channel) ? 1 : 0;
    }
    state.SetLabel(streamed ? "streamed 2D" : "loaded whole 3D");
}
BENCHMARK(BM_TenMinuteFileMemory)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
