#include "synth/kernel_build.h"

#include <array>
#include <condition_variable>
#include <system_error>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include "synth/calibration_kernel.h"
#include "synth/mpx_kernel.h"

namespace mpx {
namespace {

constexpr std::size_t dither_draws_per_frame = 4;
constexpr std::size_t first_helper_chunk = kernel_chunk_count / 2;
static_assert(first_helper_chunk * kernel_chunk_frames * frame_bytes >= kernel_silence_bytes);

FrameRange chunk_frames(std::size_t chunk) {
  return {chunk * kernel_chunk_frames, (chunk + 1) * kernel_chunk_frames};
}

// A new thread starts on its parent's core. With the parent busy there, Linux moves it to an idle
// core only at its next load balancing, a scheduler tick later (4 ms here, longer than the whole
// build), so the helper is sent to the other cores straight away.
void start_on_another_core(std::thread& thread) {
#if defined(__linux__)
  cpu_set_t cores;
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return;
  const int here = sched_getcpu();
  if (here < 0 || CPU_COUNT(&cores) < 2 || !CPU_ISSET(here, &cores)) return;
  CPU_CLR(here, &cores);
  pthread_setaffinity_np(thread.native_handle(), sizeof cores, &cores);  // only a wish
#else
  (void)thread;
#endif
}

}  // namespace

std::optional<std::size_t> take_front(ChunkClaims& claims) {
  claims.caller_started = true;
  if (claims.front == claims.back) return std::nullopt;
  return claims.front++;
}

bool helper_must_wait(const ChunkClaims& claims) {
  return !claims.caller_started && claims.front != claims.back && claims.back <= first_helper_chunk;
}

std::optional<std::size_t> take_back(ChunkClaims& claims) {
  if (claims.front == claims.back) return std::nullopt;
  return --claims.back;
}

void give_up(ChunkClaims& claims) { claims.back = claims.front; }

FrameBuilder frame_builder_for(const GeneratorSettings& settings) {
  return is_check_mode(settings) ? build_calibration_frames : build_mpx_frames;
}

void announce_kernel(const GeneratorSettings& settings, std::ostream& out) {
  if (is_check_mode(settings)) {
    announce_calibration_kernel(out);
  } else {
    announce_mpx_kernel(out);
  }
}

KernelBuild::KernelBuild(const GeneratorSettings& settings, KernelBuffer& kernel,
                         RandomSource dither)
    : settings_(settings),
      kernel_(kernel),
      dither_(dither),
      build_(frame_builder_for(settings)),
      caller_state_{0.0, dither} {
  try {
    helper_ = std::thread(&KernelBuild::help, this);
    start_on_another_core(helper_);
  } catch (const std::system_error&) {
    // No second thread: the caller builds every chunk.
  }
}

KernelBuild::~KernelBuild() {
  {
    const std::lock_guard lock(mutex_);
    give_up(claims_);
  }
  claims_changed_.notify_all();
  if (helper_.joinable()) helper_.join();
}

std::optional<std::size_t> KernelBuild::claim_back() {
  std::unique_lock lock(mutex_);
  // The first half stays zero until the caller has written the silence it needs from it.
  claims_changed_.wait(lock, [this] { return !helper_must_wait(claims_); });
  return take_back(claims_);
}

std::optional<FrameRange> KernelBuild::build_next_chunk() {
  std::optional<std::size_t> chunk;
  bool first_claim = false;
  {
    const std::lock_guard lock(mutex_);
    first_claim = !claims_.caller_started;
    chunk = take_front(claims_);
  }
  if (first_claim) claims_changed_.notify_all();
  if (!chunk) return std::nullopt;
  const FrameRange range = chunk_frames(*chunk);
  caller_state_ = build_(settings_, kernel_, range, caller_state_);
  return range;
}

void KernelBuild::help() {
  // The clock at every chunk's first frame, added up in frame order as the caller does.
  std::array<double, kernel_chunk_count> chunk_clock{};
  double t = 0.0;
  for (double& clock : chunk_clock) {
    clock = t;
    for (std::size_t i = 0; i < kernel_chunk_frames; ++i) t = settings_.time_step + t;
  }
  end_clock_ = t;

  while (const auto chunk = claim_back()) {
    const FrameRange range = chunk_frames(*chunk);
    const FrameState start{chunk_clock[*chunk],
                           advanced(dither_, range.first * dither_draws_per_frame)};
    build_(settings_, kernel_, range, start);
  }
  helper_done_.store(true, std::memory_order_release);
}

double KernelBuild::finish() {
  while (build_next_chunk()) {
  }
  if (!helper_.joinable()) return caller_state_.t;
  // At most the helper's last chunk is still being built: a short wait, kept awake. The thread
  // itself is joined in the destructor.
  while (!helper_done_.load(std::memory_order_acquire)) std::this_thread::yield();
  return end_clock_;
}

void build_kernel(GeneratorSettings& settings, KernelBuffer& kernel, RandomSource& dither,
                  std::ostream& out) {
  KernelBuild build(settings, kernel, dither);
  settings.time_accumulator = build.finish();
  dither = advanced(dither, std::size_t{frames_per_block} * dither_draws_per_frame);
  announce_kernel(settings, out);
}

}  // namespace mpx
