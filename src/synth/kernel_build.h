// Builds one kernel on two threads. A helper thread takes chunks of frames from the end
// backwards while the calling thread takes them from the start forwards, so the first frames are
// final early and the file can follow them while the rest are computed. Until the caller takes
// its first chunk, the helper keeps to the second half of the buffer: the first half stays zero,
// and the caller can write the lead-in silence from it meanwhile.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include "run/generator_settings.h"
#include "synth/kernel_frames.h"
#include "synth/quantiser.h"

namespace mpx {

// The calibration kernel for Check mode, the multiplex kernel otherwise.
FrameBuilder frame_builder_for(const GeneratorSettings& settings);

// Prints "MPX kernel created" or "Calibration kernel created".
void announce_kernel(const GeneratorSettings& settings, std::ostream& out);

// Which chunks are left: the caller takes them from the front, the helper from the back.
// Bytes [0, kernel_silence_bytes) of a fresh kernel stay zero until the caller takes a chunk.
struct ChunkClaims {
  std::size_t front = 0;                  // the first chunk no thread has taken
  std::size_t back = kernel_chunk_count;  // one past the last chunk no thread has taken
  bool caller_started = false;            // until then the helper keeps to the second half
};

// The caller's next chunk, or nothing once all are taken. Lets the helper into the first half.
std::optional<std::size_t> take_front(ChunkClaims& claims);

// True while the helper has to wait: the chunks left lie in the first half, which the caller has
// not started on yet.
bool helper_must_wait(const ChunkClaims& claims);

// The helper's next chunk (call only when helper_must_wait is false), or nothing once all are
// taken.
std::optional<std::size_t> take_back(ChunkClaims& claims);

// Leaves nothing to take, for a build that is abandoned.
void give_up(ChunkClaims& claims);

class KernelBuild {
 public:
  // Starts the helper thread on the last frames (or, if no thread can be started, leaves every
  // chunk to the caller). `dither` is the source as it stands before frame 0.
  KernelBuild(const GeneratorSettings& settings, KernelBuffer& kernel, RandomSource dither);
  // Stops the helper after its current chunk and waits for it.
  ~KernelBuild();
  KernelBuild(const KernelBuild&) = delete;
  KernelBuild& operator=(const KernelBuild&) = delete;

  // Builds the next chunk from the start on the calling thread and returns its frames, or
  // nothing once the chunks left are the helper's. Frames up to the returned range's end are
  // final.
  std::optional<FrameRange> build_next_chunk();

  // Waits for the helper; then every frame is final. Returns the clock after the last frame.
  double finish();

 private:
  std::optional<std::size_t> claim_back();
  void help();

  const GeneratorSettings settings_;
  KernelBuffer& kernel_;
  const RandomSource dither_;
  const FrameBuilder build_;
  FrameState caller_state_;  // clock and dither at the caller's next chunk

  std::mutex mutex_;
  std::condition_variable claims_changed_;
  ChunkClaims claims_;      // guarded by mutex_
  double end_clock_ = 0.0;  // the helper's clock after the last frame
  // Set by the helper once its last chunk is stored: the caller waits for this rather than for
  // the thread's exit, which would put it to sleep and cost a wake-up of up to half a
  // millisecond on a virtual machine.
  std::atomic<bool> helper_done_{false};
  std::thread helper_;
};

// Builds the whole kernel on two threads and prints its message: the same bytes, the same
// clock and dither afterwards, as build_mpx_kernel or build_calibration_kernel.
void build_kernel(GeneratorSettings& settings, KernelBuffer& kernel, RandomSource& dither,
                  std::ostream& out);

}  // namespace mpx
