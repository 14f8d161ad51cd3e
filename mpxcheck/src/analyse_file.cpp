#include "analyse_file.h"

#include "audio_file.h"
#include "channel_layout.h"

Analysis analyse_file(const std::filesystem::path& path, std::optional<int> channel) {
  const AudioFile audio = read_audio_file(path);
  Analysis analysis;
  analysis.file_name = path.filename().string();
  analysis.container = audio.container;
  analysis.sample_format = audio.sample_format;
  analysis.sample_rate_hz = audio.sample_rate_hz;
  analysis.channel_count = audio.channels.size();
  analysis.duration_s = static_cast<double>(audio.frames()) / audio.sample_rate_hz;

  const ChannelLayout layout = find_layout(audio, channel);
  if (layout.calibration) {
    analysis.calibration = analyse_calibration(audio, layout);
    analysis.verdict = judge_calibration(*analysis.calibration);
  } else {
    analysis.multiplex = analyse_multiplex(audio, layout.composite_channel);
    analysis.verdict = judge_multiplex(*analysis.multiplex);
  }
  return analysis;
}
