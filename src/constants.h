// Fixed numbers of the signal and of the file format, in one place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mpx {

// Output format: linear PCM, 2 channels, 24-bit, 192 kHz (RIFF/WAVE, WAVE_FORMAT_PCM).
inline constexpr std::uint32_t sample_rate_hz = 192000;
inline constexpr std::uint16_t channel_count = 2;
inline constexpr std::uint16_t bits_per_sample = 24;
inline constexpr std::uint16_t bytes_per_sample = bits_per_sample / 8;
inline constexpr std::uint16_t format_tag_pcm = 1;
inline constexpr std::uint32_t format_chunk_bytes = 16;
inline constexpr std::uint32_t wav_header_bytes = 44;

// One frame holds channel 1 then channel 2; the kernel is exactly one second of frames.
inline constexpr std::uint16_t frame_bytes = channel_count * bytes_per_sample;
inline constexpr std::uint16_t block_align_bytes = frame_bytes;
inline constexpr std::uint32_t frames_per_block = sample_rate_hz;
inline constexpr std::uint32_t block_bytes = frames_per_block * frame_bytes;
inline constexpr std::uint32_t byte_rate_bytes_per_s = sample_rate_hz * block_align_bytes;

static_assert(block_align_bytes == channel_count * bytes_per_sample);
static_assert(block_bytes == 1152000);
static_assert(byte_rate_bytes_per_s == block_bytes, "one block is exactly one second of audio");

// The RIFF size fields are 32 bits: the riff size (data + 36) must stay below 2^32.
inline constexpr std::int64_t max_total_seconds =
    (std::int64_t{0xFFFFFFFF} - (wav_header_bytes - 8)) / block_bytes;
static_assert(max_total_seconds == 3728);

// Signal levels: 1.0 maps to this sample value, 255 below the 24-bit maximum.
inline constexpr double full_scale = 8388352.0;  // 0x7FFF00
inline constexpr std::int32_t sample_max = 8388607;
inline constexpr std::int32_t sample_min = -8388608;

// The sample clock, and the rounded 2*pi the generator has always used. Files made with the
// exact value of pi would differ in thousands of samples, so the rounded constant stays.
inline constexpr double time_step_s = 1.0 / 192000.0;
inline constexpr double two_pi_rounded = 6.2831854;
inline constexpr double pilot_frequency_hz = 19000.0;
inline constexpr double subcarrier_frequency_hz = 38000.0;

// Pilot-tone multiplex levels (ITU-R BS.450): 90 % programme, 9 % pilot (0.9 * 0.1).
inline constexpr double programme_share = 0.9;
inline constexpr double pilot_share = 0.1;

// Tone frequencies the dialogue lets through, in whole hertz (just below half the sample rate).
inline constexpr double min_tone_frequency_hz = 1.0;
inline constexpr double max_tone_frequency_hz = 95990.0;

// How the kernel is built and held: in chunks of frames, so two threads can share the work and the
// file can follow the first frames while the rest are computed; in one transparent huge page on
// systems that have them, so touching the block costs one page fault instead of 282.
inline constexpr std::size_t kernel_chunk_frames = 4000;
inline constexpr std::size_t kernel_chunk_count = frames_per_block / kernel_chunk_frames;
inline constexpr std::size_t huge_page_bytes = std::size_t{2} << 20;
// The first half of the block stays zero while the second half is built: the lead-in silence is
// written from it meanwhile.
inline constexpr std::size_t kernel_silence_bytes = block_bytes / 2;
static_assert(kernel_chunk_count * kernel_chunk_frames == frames_per_block);
static_assert(block_bytes <= huge_page_bytes);

}  // namespace mpx
