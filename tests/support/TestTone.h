#pragma once

// Test sounds made on the spot, for the sound tests and for window tests
// whose scenes play sounds (cries, the energy balls' hum).

#include <string>

namespace KelvoTest {

enum class FileKind { Wav, FloatWav, Mp3 };

// A sine tone of whole cycles, so that it loops without a click. A stereo
// tone has rightAmplitude on its right channel (the same as the left one
// when negative). Throws when the file cannot be written.
void writeTone(const std::string& path, FileKind kind, double seconds, double frequency = 441.0,
               double amplitude = 0.5, int channels = 1, double rightAmplitude = -1.0);

} // namespace KelvoTest
