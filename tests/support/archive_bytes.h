#pragma once

// Small archives built byte by byte, so tests control member names exactly (CP932 bytes, the
// zip UTF-8 flag) and need no archiver.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talu::test {

/// Member name and bytes.
using ArchiveMembers = std::vector<std::pair<std::string, std::string>>;

namespace archive_detail {

inline void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
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
        Put(out, 0x04034b50, 4);
        Put(out, 10, 2);
        Put(out, flags, 2);
        Put(out, 0, 2);  // stored
        Put(out, 0, 4);  // time and date
        Put(out, crc, 4);
        Put(out, size, 4);
        Put(out, size, 4);
        Put(out, static_cast<std::uint32_t>(name.size()), 2);
        Put(out, 0, 2);
        out += name;
        out += data;
        Put(central, 0x02014b50, 4);
        Put(central, 20, 2);
        Put(central, 10, 2);
        Put(central, flags, 2);
        Put(central, 0, 2);
        Put(central, 0, 4);
        Put(central, crc, 4);
        Put(central, size, 4);
        Put(central, size, 4);
        Put(central, static_cast<std::uint32_t>(name.size()), 2);
        Put(central, 0, 4);  // extra and comment lengths
        Put(central, 0, 4);  // disk, internal attributes
        Put(central, 0, 4);  // external attributes
        Put(central, offset, 4);
        central += name;
    }
    const auto count = static_cast<std::uint32_t>(members.size());
    const auto start = static_cast<std::uint32_t>(out.size());
    out += central;
    Put(out, 0x06054b50, 4);
    Put(out, 0, 4);
    Put(out, count, 2);
    Put(out, count, 2);
    Put(out, static_cast<std::uint32_t>(central.size()), 4);
    Put(out, start, 4);
    Put(out, 0, 2);
    return out;
}

/// An LHA archive of stored (-lh0-) members with level 0 headers, whose names are the bytes
/// given (CP932 in archives made on Japanese systems).
inline std::string StoredLha(const ArchiveMembers& members) {
    using archive_detail::Put;
    std::string out;
    for (const auto& [name, data] : members) {
        std::string header = "-lh0-";
        Put(header, static_cast<std::uint32_t>(data.size()), 4);
        Put(header, static_cast<std::uint32_t>(data.size()), 4);
        Put(header, 0x5A210000, 4);  // DOS time
        Put(header, 0x20, 1);        // archive attribute
        Put(header, 0, 1);           // level 0
        Put(header, static_cast<std::uint32_t>(name.size()), 1);
        header += name;
        Put(header, archive_detail::Crc16(data), 2);
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
