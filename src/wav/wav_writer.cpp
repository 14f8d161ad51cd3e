#include "wav/wav_writer.h"

#include "run/console.h"

namespace mpx {
namespace {

void write_id(HeaderCursor& cursor, const char (&id)[5]) {
  for (int i = 0; i < 4; ++i) write_byte(cursor, static_cast<std::uint8_t>(id[i]));
}

}  // namespace

void write_byte(HeaderCursor& cursor, std::uint8_t b) { cursor.bytes.at(cursor.position++) = b; }

void write_le16(HeaderCursor& cursor, std::uint16_t v) {
  write_byte(cursor, static_cast<std::uint8_t>(v & 0xFF));
  write_byte(cursor, static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void write_le32(HeaderCursor& cursor, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) {
    write_byte(cursor, static_cast<std::uint8_t>((v >> shift) & 0xFF));
  }
}

WavHeader make_wav_header(std::uint32_t payload_bytes) {
  WavHeader bytes{};
  HeaderCursor cursor{bytes};
  write_id(cursor, "RIFF");
  write_le32(cursor, payload_bytes + (wav_header_bytes - 8));  // everything after this field
  write_id(cursor, "WAVE");
  write_id(cursor, "fmt ");
  write_le32(cursor, format_chunk_bytes);
  write_le16(cursor, format_tag_pcm);
  write_le16(cursor, channel_count);
  write_le32(cursor, sample_rate_hz);
  write_le32(cursor, byte_rate_bytes_per_s);
  write_le16(cursor, block_align_bytes);
  write_le16(cursor, bits_per_sample);
  write_id(cursor, "data");
  write_le32(cursor, payload_bytes);
  return bytes;
}

void write_wav_header(const GeneratorSettings& settings, OutputFile& file, std::ostream& out) {
  print(out, "Payload to write = %lu\n", static_cast<unsigned long>(settings.payload_bytes));
  const WavHeader header = make_wav_header(settings.payload_bytes);
  file.write(header.data(), header.size());
}

void write_block_repeated(OutputFile& file, const KernelBuffer& kernel, std::int32_t n) {
  for (std::int32_t written = 0; written < n; ++written) {
    file.write(kernel.bytes.data(), kernel.bytes.size());
  }
}

void write_block_rest(OutputFile& file, const KernelBuffer& kernel, std::size_t from) {
  if (from < kernel.bytes.size())
    file.write(kernel.bytes.data() + from, kernel.bytes.size() - from);
}

static_assert(block_bytes % kernel_silence_bytes == 0);

std::size_t write_lead_in_during_build(const GeneratorSettings& settings, KernelBuild& build,
                                       const KernelBuffer& kernel, OutputFile& file) {
  for (std::int32_t second = 0; second < settings.lead_in_seconds; ++second) {
    for (std::size_t written = 0; written < block_bytes; written += kernel_silence_bytes) {
      file.write(kernel.bytes.data(), kernel_silence_bytes);
    }
  }
  std::size_t tone_bytes = 0;
  while (const auto chunk = build.build_next_chunk()) {
    if (settings.tone_seconds < 1) continue;
    const std::size_t end = chunk->last * frame_bytes;
    file.write(kernel.bytes.data() + tone_bytes, end - tone_bytes);
    tone_bytes = end;
  }
  return tone_bytes;
}

}  // namespace mpx
