#pragma once

// Small archives built byte by byte, so tests control member names exactly (CP932 bytes, the
// zip UTF-8 flag) and need no archiver.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talu::test {

/// Member name and bytes.
using ArchiveMembers = std::vector<std::pair<std::string, std::string>>;

namespace archive_detail {

/// Appends each value little-endian, in as many bytes as its digit in widths says.
inline void Put(std::string& out, std::string_view widths,
                std::initializer_list<std::uint32_t> values) {
    const std::uint32_t* value = values.begin();
    for (const char width : widths) {
        for (int i = 0; i < width - '0'; ++i) {
            out += static_cast<char>((*value >> (8 * i)) & 0xFF);
        }
        ++value;
    }
}

inline std::uint32_t Crc32(std::string_view data) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

inline std::uint16_t Crc16(std::string_view data) {
    std::uint16_t crc = 0;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) {
            crc = static_cast<std::uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
        }
    }
    return crc;
}

}  // namespace archive_detail

/// A zip of stored members; utf8Names sets the flag that says the names are UTF-8.
inline std::string StoredZip(const ArchiveMembers& members, bool utf8Names = false) {
    using archive_detail::Put;
    const std::uint32_t flags = utf8Names ? 0x800 : 0;
    std::string out;
    std::string central;
    for (const auto& [name, data] : members) {
        const std::uint32_t crc = archive_detail::Crc32(data);
        const auto size = static_cast<std::uint32_t>(data.size());
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto nameSize = static_cast<std::uint32_t>(name.size());
        // Signature, version, flags, stored, time and date, CRC, sizes, name and extra lengths.
        Put(out, "4222444422", {0x04034b50, 10, flags, 0, 0, crc, size, size, nameSize, 0});
        out += name;
        out += data;
        // The same after two versions, then the extra and comment lengths, disk, attributes
        // and where the local header starts.
        Put(central, "42222444424444",
            {0x02014b50, 20, 10, flags, 0, 0, crc, size, size, nameSize, 0, 0, 0, offset});
        central += name;
    }
    const auto count = static_cast<std::uint32_t>(members.size());
    const auto start = static_cast<std::uint32_t>(out.size());
    out += central;
    Put(out, "4422442",
        {0x06054b50, 0, count, count, static_cast<std::uint32_t>(central.size()), start, 0});
    return out;
}

/// An LHA archive of stored (-lh0-) members with level 0 headers, whose names are the bytes
/// given (CP932 in archives made on Japanese systems).
inline std::string StoredLha(const ArchiveMembers& members) {
    using archive_detail::Put;
    std::string out;
    for (const auto& [name, data] : members) {
        std::string header = "-lh0-";
        const auto size = static_cast<std::uint32_t>(data.size());
        // Sizes, DOS time, the archive attribute, level 0 and the name's length.
        Put(header, "444111",
            {size, size, 0x5A210000, 0x20, 0, static_cast<std::uint32_t>(name.size())});
        header += name;
        Put(header, "2", {archive_detail::Crc16(data)});
        unsigned sum = 0;
        for (unsigned char c : header) {
            sum += c;
        }
        out += static_cast<char>(header.size());
        out += static_cast<char>(sum & 0xFF);
        out += header;
        out += data;
    }
    out += '\0';
    return out;
}

}  // namespace talu::test
