// SHA-256 (FIPS 180-4) of a byte range, as lower-case hex, for comparing whole files and blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mpx::testing {

std::string sha256_hex(const std::uint8_t* data, std::size_t size);
inline std::string sha256_hex(const std::string& bytes) {
  return sha256_hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace mpx::testing
