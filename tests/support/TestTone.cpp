#include "TestTone.h"

#include <sndfile.h>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace KelvoTest {

void writeTone(const std::string& path, FileKind kind, double seconds, double frequency, double amplitude,
               int channels, double rightAmplitude)
{
    const int sampleRate = 44100;
    SF_INFO info = {};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = kind == FileKind::Wav        ? (SF_FORMAT_WAV | SF_FORMAT_PCM_16)
                  : kind == FileKind::FloatWav ? (SF_FORMAT_WAV | SF_FORMAT_FLOAT)
                                               : (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    std::vector<float> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double wave = std::sin(2.0 * M_PI * frequency * frame / sampleRate);
        for (int channel = 0; channel < channels; ++channel) {
            const double gain = channel == 1 && rightAmplitude >= 0.0 ? rightAmplitude : amplitude;
            samples[frame * channels + channel] = static_cast<float>(gain * wave);
        }
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

} // namespace KelvoTest
