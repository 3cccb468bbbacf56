#include "script/sjis_text.h"

#include <algorithm>

#include "host/encoding.h"

namespace talu::script {

using host::CharLength;

std::size_t FindChar(std::string_view text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == c) {
            return i;
        }
    }
    return npos;
}

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        return from <= text.size() ? from : npos;
    }
    for (std::size_t i = from; i < text.size(); i += CharLength(text, i)) {
        if (text.compare(i, needle.size(), needle) == 0) {
            return i;
        }
    }
    return npos;
}

std::size_t CountChar(std::string_view text, char c) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        count += text[i] == c ? 1 : 0;
    }
    return count;
}

namespace {

template <char From, char To>
std::string MapAsciiLetters(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t length = CharLength(out, i);
        if (length == 1 && out[i] >= From && out[i] <= static_cast<char>(From + 25)) {
            out[i] = static_cast<char>(out[i] - From + To);
        }
        i += length;
    }
    return out;
}

}  // namespace

std::string ToLowerAscii(std::string_view text) {
    return MapAsciiLetters<'A', 'a'>(text);
}

std::string ToUpperAscii(std::string_view text) {
    return MapAsciiLetters<'a', 'A'>(text);
}

std::string_view Trim(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) {
        --end;
    }
    std::size_t begin = 0;
    while (begin < end && IsWhiteSpace(text[begin])) {
        ++begin;
    }
    return text.substr(begin, end - begin);
}

std::string Normalize(std::string_view text) {
    std::string out(Trim(text));
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

void NormalizeInPlace(std::string& text) {
    std::string_view trimmed = Trim(text);
    std::size_t begin = static_cast<std::size_t>(trimmed.data() - text.data());
    std::size_t length = trimmed.size();
    text.erase(begin + length);
    if (begin > 0) {
        text.erase(0, begin);
    }
    for (std::size_t tab = text.find('\t'); tab != std::string::npos; tab = text.find('\t', tab)) {
        text[tab] = ' ';
    }
}

}  // namespace talu::script
