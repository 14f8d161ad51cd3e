#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Lowest sample rate we analyse: the stereo subband around 38 kHz reaches 53 kHz, so the rate must
// exceed 106 kHz; 128 kHz is the lowest common rate above that.
inline constexpr double minimum_sample_rate_hz = 128000.0;

// A WAV file's samples as doubles. Integer samples are scaled by the format's own full scale
// (2^(bits-1): 32768 for 16-bit, 8388608 for 24-bit), so 1.0 is digital full scale, the peak of
// the largest sine the format can hold (AES17 "dBFS"); float samples are taken as they are.
struct AudioFile {
  double sample_rate_hz = 0;
  std::string container;      // "WAV", "WAV (extensible)", "RF64"
  std::string sample_format;  // "24-bit integer", "32-bit float", ...
  std::vector<std::vector<double>> channels;

  std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// Reads a RIFF WAVE, extensible WAVE or RF64 file; throws CheckError with the reason when the file
// is missing, is not a WAV file, is truncated or has too low a sample rate.
AudioFile read_audio_file(const std::filesystem::path& path);
