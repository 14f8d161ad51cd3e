#include "audio_file.h"

#include <sndfile.h>

#include <cmath>
#include <memory>
#include <optional>

#include "check_error.h"
#include "riff_check.h"

namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

std::optional<std::string> container_name(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
      return "WAV";
    case SF_FORMAT_WAVEX:
      return "WAV (extensible)";
    case SF_FORMAT_RF64:
      return "RF64";
    default:
      return std::nullopt;
  }
}

std::optional<std::string> sample_format_name(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
      return "8-bit integer";
    case SF_FORMAT_PCM_16:
      return "16-bit integer";
    case SF_FORMAT_PCM_24:
      return "24-bit integer";
    case SF_FORMAT_PCM_32:
      return "32-bit integer";
    case SF_FORMAT_FLOAT:
      return "32-bit float";
    case SF_FORMAT_DOUBLE:
      return "64-bit float";
    default:
      return std::nullopt;
  }
}

std::string format_rate(double rate_hz) { return std::to_string(std::lround(rate_hz)) + " Hz"; }

}  // namespace

AudioFile read_audio_file(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw CheckError(std::filesystem::exists(path, error) ? "not a regular file" : "no such file");
  }
  const RiffFinding riff = check_riff_file(path);
  if (!riff.is_wave) throw CheckError("not a WAV file (no RIFF/RF64 WAVE header)");
  if (!riff.problem.empty()) throw CheckError(riff.problem);

  SF_INFO info{};
  SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) throw CheckError(std::string("unreadable WAV file: ") + sf_strerror(nullptr));

  AudioFile audio;
  const std::optional<std::string> container = container_name(info.format);
  const std::optional<std::string> sample_format = sample_format_name(info.format);
  if (!container) throw CheckError("not a WAV file");
  if (!sample_format) throw CheckError("unsupported sample format (not PCM or float)");
  audio.container = *container;
  audio.sample_format = *sample_format;
  audio.sample_rate_hz = info.samplerate;
  if (audio.sample_rate_hz < minimum_sample_rate_hz) {
    throw CheckError("sample rate " + format_rate(audio.sample_rate_hz) + " is below " +
                     format_rate(minimum_sample_rate_hz) + " (the stereo subband reaches 53 kHz)");
  }
  if (info.channels < 1 || info.frames < 1) throw CheckError("the file holds no samples");

  const auto channel_count = static_cast<std::size_t>(info.channels);
  const auto frame_count = static_cast<std::size_t>(info.frames);
  audio.channels.assign(channel_count, std::vector<double>());
  for (auto& channel : audio.channels) channel.reserve(frame_count);

  constexpr sf_count_t frames_per_read = 16384;
  std::vector<double> interleaved(static_cast<std::size_t>(frames_per_read) * channel_count);
  for (;;) {
    const sf_count_t got = sf_readf_double(file.get(), interleaved.data(), frames_per_read);
    if (got <= 0) break;
    for (std::size_t frame = 0; frame < static_cast<std::size_t>(got); ++frame) {
      for (std::size_t c = 0; c < channel_count; ++c) {
        audio.channels[c].push_back(interleaved[frame * channel_count + c]);
      }
    }
  }
  if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
    throw CheckError(std::string("unreadable WAV file: ") + sf_strerror(file.get()));
  }
  if (audio.frames() < frame_count) {
    throw CheckError("truncated: " + std::to_string(audio.frames()) + " of " +
                     std::to_string(frame_count) + " frames could be read");
  }
  for (const auto& channel : audio.channels) {
    for (const double sample : channel) {
      if (!std::isfinite(sample)) throw CheckError("the file holds samples that are not numbers");
    }
  }
  return audio;
}
