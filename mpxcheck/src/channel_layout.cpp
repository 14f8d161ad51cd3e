#include "channel_layout.h"

#include <cmath>
#include <string>
#include <vector>

#include "broadcast.h"
#include "check_error.h"
#include "signal_span.h"
#include "spectrum.h"

namespace {

// What one channel's averaged spectrum shows.
struct ChannelSurvey {
  bool silent = true;
  std::optional<SpectralPeak> pilot;
  std::optional<SpectralPeak> strongest;  // over the whole band
};

ChannelSurvey survey_channel(const std::vector<double>& samples, double rate_hz) {
  ChannelSurvey survey;
  const std::optional<SampleSpan> signal = find_signal(samples, rate_hz);
  if (!signal) return survey;
  survey.silent = false;
  const SampleSpan part = middle_part(*signal, longest_measurement_s, rate_hz);
  const Spectrum spectrum =
      averaged_spectrum(std::span<const double>(samples).subspan(part.begin, part.size()), rate_hz);
  survey.strongest = strongest_peak(spectrum, tone_lowest_hz, 0.5 * rate_hz);
  const double low = pilot_frequency_hz - pilot_search_half_width_hz;
  const double high = pilot_frequency_hz + pilot_search_half_width_hz;
  const std::optional<SpectralPeak> peak = strongest_peak(spectrum, low, high);
  const double floor = median_amplitude(spectrum, low - 5 * pilot_search_half_width_hz,
                                        high + 5 * pilot_search_half_width_hz);
  if (peak && peak->amplitude >= pilot_minimum_amplitude &&
      peak->amplitude >= pilot_minimum_snr * floor) {
    survey.pilot = peak;
  }
  return survey;
}

bool holds_subcarrier_tone(const ChannelSurvey& survey, double pilot_hz) {
  return survey.strongest && survey.strongest->amplitude >= calibration_tone_minimum_amplitude &&
         std::abs(survey.strongest->frequency_hz - 2 * pilot_hz) <= calibration_tone_tolerance_hz;
}

}  // namespace

ChannelLayout find_layout(const AudioFile& audio, std::optional<int> requested_channel) {
  const std::size_t count = audio.channels.size();
  const std::string pilot_text = "no 19 kHz pilot found";
  if (requested_channel) {
    const auto index = static_cast<std::size_t>(*requested_channel - 1);
    if (index >= count) {
      throw CheckError("channel " + std::to_string(*requested_channel) +
                       " asked for, but the file has " + std::to_string(count) + " channel" +
                       (count == 1 ? "" : "s"));
    }
    const ChannelSurvey survey = survey_channel(audio.channels[index], audio.sample_rate_hz);
    if (survey.silent) {
      throw CheckError("channel " + std::to_string(*requested_channel) + " holds only silence");
    }
    if (!survey.pilot) {
      throw CheckError(pilot_text + " in channel " + std::to_string(*requested_channel));
    }
    return ChannelLayout{false, index, 0};
  }

  std::vector<ChannelSurvey> surveys;
  for (const auto& channel : audio.channels) {
    surveys.push_back(survey_channel(channel, audio.sample_rate_hz));
  }
  std::optional<std::size_t> pilot_channel;
  bool any_signal = false;
  for (std::size_t c = 0; c < count; ++c) {
    any_signal = any_signal || !surveys[c].silent;
    if (surveys[c].pilot && (!pilot_channel || surveys[c].pilot->amplitude >
                                                   surveys[*pilot_channel].pilot->amplitude)) {
      pilot_channel = c;
    }
  }
  if (!any_signal) throw CheckError("the file holds only silence");
  if (!pilot_channel) {
    throw CheckError(pilot_text + (count == 1 ? "" : " in any channel") +
                     " (not a multiplex signal?)");
  }
  const ChannelSurvey& pilot_survey = surveys[*pilot_channel];
  const bool pilot_alone =
      pilot_survey.strongest && std::abs(pilot_survey.strongest->frequency_hz -
                                         pilot_survey.pilot->frequency_hz) <= longest_bin_hz;
  for (std::size_t c = 0; c < count && pilot_alone; ++c) {
    if (c != *pilot_channel &&
        holds_subcarrier_tone(surveys[c], pilot_survey.pilot->frequency_hz)) {
      return ChannelLayout{true, *pilot_channel, c};
    }
  }
  return ChannelLayout{false, *pilot_channel, 0};
}
