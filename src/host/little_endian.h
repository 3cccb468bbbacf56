#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Numbers as the file formats of the old system store them, least significant byte first. The
// caller has checked that the bytes are there.
namespace talu::host {

inline std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

/// The numbers at byte offset at of bytes.
inline std::uint32_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Le16(bytes.data() + at);
}

inline std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Le32(bytes.data() + at);
}

}  // namespace talu::host
