// Writing the header and the blocks of a typical file (2 + 30 + 2 seconds, 39 MB) through the
// program's own output path. The file goes to memory (/dev/shm where it exists, else the
// temporary folder) and is removed again, so the figure is the cost of the system calls and the
// copies, not of a disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>

#include "run/generator_settings.h"
#include "synth/quantiser.h"
#include "wav/output_file.h"
#include "wav/wav_writer.h"

namespace mpx {
namespace {

constexpr std::int32_t typical_seconds = 2 + 30 + 2;

std::string scratch_path() {
  std::error_code error;
  std::filesystem::path folder = "/dev/shm";
  if (!std::filesystem::is_directory(folder, error)) {
    folder = std::filesystem::temp_directory_path();
  }
  return (folder / "mpxtone-write-bench.wav").string();
}

void header_and_blocks(benchmark::State& state) {
  GeneratorSettings settings;
  settings.payload_bytes = typical_seconds * block_bytes;
  const KernelBuffer kernel;
  std::ostringstream out;
  const std::string path = scratch_path();
  for (auto _ : state) {
    OutputFile file(path);  // removed again when it goes out of scope uncommitted
    write_wav_header(settings, file, out);
    write_block_repeated(file, kernel, typical_seconds);
    out.str({});
  }
  state.SetBytesProcessed(state.iterations() * (wav_header_bytes + settings.payload_bytes));
}
BENCHMARK(header_and_blocks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mpx
