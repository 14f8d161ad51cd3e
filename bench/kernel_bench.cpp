// Building one second of signal (192000 frames): on one thread, as the kernel functions do, and
// on two threads, as a run does. Also the first touch of the block's memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sstream>
#include <vector>

#include "run/generator_settings.h"
#include "synth/calibration_kernel.h"
#include "synth/kernel_build.h"
#include "synth/mpx_kernel.h"

namespace mpx {
namespace {

GeneratorSettings settings_for(SignalMode mode) {
  GeneratorSettings settings;
  settings.mode_number = static_cast<std::int32_t>(mode);
  settings.amplitude = 1.0;
  settings.tone_frequency = 1000.0;
  settings.subcarrier_phase_correction = 0.05;
  settings.subcarrier_amplitude_correction = 1.02;
  return settings;
}

void one_thread(benchmark::State& state, SignalMode mode) {
  GeneratorSettings settings = settings_for(mode);
  KernelBuffer kernel;
  std::ostringstream out;
  for (auto _ : state) {
    RandomSource dither;
    if (mode == SignalMode::Check) {
      build_calibration_kernel(settings, kernel, dither, out);
    } else {
      build_mpx_kernel(settings, kernel, dither, out);
    }
    benchmark::DoNotOptimize(kernel.bytes.data());
    out.str({});
  }
  state.SetItemsProcessed(state.iterations() * frames_per_block);
}

void two_threads(benchmark::State& state, SignalMode mode) {
  GeneratorSettings settings = settings_for(mode);
  KernelBuffer kernel;
  std::ostringstream out;
  for (auto _ : state) {
    RandomSource dither;
    build_kernel(settings, kernel, dither, out);
    benchmark::DoNotOptimize(kernel.bytes.data());
    out.str({});
  }
  state.SetItemsProcessed(state.iterations() * frames_per_block);
}

BENCHMARK_CAPTURE(one_thread, Mono, SignalMode::Mono)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(one_thread, Left, SignalMode::Left)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(one_thread, Antiphase, SignalMode::Antiphase)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(one_thread, Calibration, SignalMode::Check)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(two_threads, Mono, SignalMode::Mono)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(two_threads, Left, SignalMode::Left)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(two_threads, Calibration, SignalMode::Check)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A fresh zeroed block, as every run starts with: in the block's own memory (one huge page where
// the system has them) and, for comparison, in an ordinary vector (4 KiB pages, one fault each).
void fresh_block(benchmark::State& state) {
  for (auto _ : state) {
    KernelBuffer kernel;
    benchmark::DoNotOptimize(kernel.bytes.data());
  }
}
BENCHMARK(fresh_block)->Unit(benchmark::kMicrosecond);

void fresh_ordinary_vector(benchmark::State& state) {
#if defined(__GLIBC__)
  // Keep blocks this large in their own mappings, as in a run's single allocation; otherwise
  // glibc recycles the freed block and the loop would measure no page faults at all.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes(block_bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(fresh_ordinary_vector)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mpx
