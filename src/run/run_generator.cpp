#include "run/run_generator.h"

#include <algorithm>

#include "run/app_paths.h"
#include "run/console.h"
#include "run/dialogue.h"
#include "run/output_names.h"
#include "run/settings_file.h"
#include "synth/kernel_build.h"
#include "synth/quantiser.h"
#include "wav/output_file.h"
#include "wav/wav_writer.h"

namespace mpx {
namespace {

void print_banner(std::ostream& out) {
  print(out, "  Tavilorquenashimbrel Ver 1.01 Jan 2019\n");
  print(out, "  ======================================\n\n");
  print(out, "This lets you generate LPCM WAV files containing test waveforms.\n");
  print(out, "Please read the Help inside the application before first use\n");
  print(out, "and check you have the correct details in your Settings file!\n\n");
}

}  // namespace

void run_generator(GeneratorSettings& settings, std::string_view program_path, std::istream& in,
                   std::ostream& out) {
  settings.two_pi = two_pi_rounded;
  settings.pilot_frequency = pilot_frequency_hz;
  settings.subcarrier_frequency = subcarrier_frequency_hz;
  print_banner(out);

  settings.application_directory = application_directory_for(program_path);
  print(out, "Application directory = %s\n", settings.application_directory.c_str());
  settings.settings_path = settings.application_directory + "/Settings";
  print(out, "Settings file at %s\n", settings.settings_path.c_str());

  // The operator answers first; the Settings file is read afterwards.
  configure_signal(settings, in, out);
  load_settings_file(settings, out);

  print(out,
        " Set to produce track with test waveform of %ld sec duration\n preceeded by %ld sec "
        "silence and followed by %ld of silence.\n",
        static_cast<long>(settings.tone_seconds), static_cast<long>(settings.lead_in_seconds),
        static_cast<long>(settings.lead_out_seconds));
  // The Settings reader has bounded the total to what the 32-bit RIFF sizes can describe.
  settings.payload_bytes = static_cast<std::uint32_t>(
      (settings.lead_out_seconds + settings.tone_seconds + settings.lead_in_seconds) *
      static_cast<std::int64_t>(byte_rate_bytes_per_s));
  print(out, "Payload in Bytes = %lu\n", static_cast<unsigned long>(settings.payload_bytes));

  // The kernel is built on two threads from here on, while the file is created and the lead-in
  // and the start of the first tone block go to it: a frame is final as soon as it is stored.
  KernelBuffer kernel;  // zeroed: the lead-in silence comes from it
  KernelBuild build(settings, kernel, RandomSource{});

  make_output_names(settings, out);
  OutputFile file(settings.full_path);
  write_wav_header(settings, file, out);

  const std::size_t first_block_written = write_lead_in_during_build(settings, build, kernel, file);
  settings.time_accumulator = build.finish();
  announce_kernel(settings, out);
  for (std::int32_t block = 1; block <= settings.tone_seconds; ++block) {
    write_block_rest(file, kernel, block == 1 ? first_block_written : 0);
    print(out, "%3ld\n", static_cast<long>(block));
    out.flush();
  }

  std::fill(kernel.bytes.begin(), kernel.bytes.end(), std::uint8_t{0});
  write_block_repeated(file, kernel, settings.lead_out_seconds);
  file.commit();
  print(out, "Track finished\n");
  out.flush();
}

}  // namespace mpx
