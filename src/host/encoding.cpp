#include "host/encoding.h"

#include "host/iconv_converter.h"

namespace talu::host {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

IconvConverter& FromCp932() {
    thread_local IconvConverter converter("UTF-8", "CP932");
    return converter;
}

IconvConverter& ToCp932() {
    thread_local IconvConverter converter("CP932", "UTF-8");
    return converter;
}

// Length of the bad CP932 character at pos: a lead byte keeps its trail byte with it.
std::size_t BadCp932Length(std::string_view text, std::size_t pos) {
    if (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() &&
        IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

// Length of the bad UTF-8 sequence at pos: a well-formed but unmappable character is skipped
// whole, a broken byte alone.
std::size_t BadUtf8Length(std::string_view text, std::size_t pos) {
    auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (pos + length > text.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

template <typename BadLength>
std::string ConvertLossy(IconvConverter& converter, std::string_view input,
                         std::string_view replacement, BadLength badLength) {
    std::string out;
    out.reserve(input.size() * 3 / 2);
    std::size_t pos = 0;
    while (pos < input.size()) {
        std::size_t consumed = 0;
        IconvConverter::Status status = converter.Convert(input.substr(pos), out, consumed);
        pos += consumed;
        if (status == IconvConverter::Status::Ok) {
            break;
        }
        out.append(replacement);
        pos += badLength(input, pos);
    }
    return out;
}

std::optional<std::string> ConvertExact(IconvConverter& converter, std::string_view input) {
    std::string out;
    std::size_t consumed = 0;
    if (converter.Convert(input, out, consumed) != IconvConverter::Status::Ok) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    return ConvertLossy(FromCp932(), cp932, kReplacementUtf8, BadCp932Length);
}

std::string Utf8ToCp932(std::string_view utf8) {
    return ConvertLossy(ToCp932(), utf8, "?", BadUtf8Length);
}

std::optional<std::string> Cp932ToUtf8Exact(std::string_view cp932) {
    return ConvertExact(FromCp932(), cp932);
}

std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8) {
    return ConvertExact(ToCp932(), utf8);
}

}  // namespace talu::host
