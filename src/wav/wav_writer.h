// The RIFF/WAVE container: one "fmt " chunk (linear PCM, 2 channels, 192 kHz, 24-bit) and one
// "data" chunk of whole one-second blocks. No other chunk, no padding, no trailer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>

#include "constants.h"
#include "run/generator_settings.h"
#include "synth/kernel_build.h"
#include "synth/quantiser.h"
#include "wav/output_file.h"

namespace mpx {

using WavHeader = std::array<std::uint8_t, wav_header_bytes>;

// Little-endian writing into the header, one byte at a time.
struct HeaderCursor {
  WavHeader& bytes;
  std::size_t position = 0;
};
void write_byte(HeaderCursor& cursor, std::uint8_t b);
void write_le16(HeaderCursor& cursor, std::uint16_t v);
void write_le32(HeaderCursor& cursor, std::uint32_t v);

// The 44 header bytes for a data chunk of payload_bytes.
WavHeader make_wav_header(std::uint32_t payload_bytes);

// Prints "Payload to write" and writes the header.
void write_wav_header(const GeneratorSettings& settings, OutputFile& file, std::ostream& out);

// Writes the whole block n times; n of 0 or less writes nothing.
void write_block_repeated(OutputFile& file, const KernelBuffer& kernel, std::int32_t n);

// Writes the block from byte `from` to its end.
void write_block_rest(OutputFile& file, const KernelBuffer& kernel, std::size_t from);

// While `build` computes the kernel: writes the lead-in silence from the still-zero first half
// of the buffer, then builds chunks from the start on this thread and writes each one as the
// beginning of the first tone block (if there is a tone). Returns how many bytes of the first
// tone block are in the file; the rest follows once build.finish() has returned.
std::size_t write_lead_in_during_build(const GeneratorSettings& settings, KernelBuild& build,
                                       const KernelBuffer& kernel, OutputFile& file);

}  // namespace mpx
