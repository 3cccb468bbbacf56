#include "interp/kinsoku.h"

#include <algorithm>
#include <array>

namespace talu::interp {
namespace {

// The set in CP932 bytes: full-width punctuation and closing brackets, then their half-width
// and ASCII forms.
// clang-format off
constexpr std::array<std::string_view, 36> kKinsoku = {
    "\x81\x42", "\x81\x41", "\x81\x43", "\x81\x44",  // 。 、 ， ．
    ",", ".", "\xA4", "\xA1",                        // , . ､ ｡
    "\x81\x76", "\x81\x78", "\x81\x7A", "\x81\x72",  // 」 』 】 〉
    "\x81\x74", "\x81\x6E", "\x81\x70", "\x81\x6C",  // 》 ］ ｝ 〕
    "\x81\x6A", "]", "}", ")", "\xA3",               // ） ] } ) ｣
    "\x81\x47", "\x81\x46", "\x81\x48", "\x81\x49",  // ； ： ？ ！
    "\x81\x68", "\x81\x66", "\x81\x4B", "\x81\x4A",  // ” ’ ゜ ゛
    "\xDE", "\xDF", ":", ";", "?", "!", "\"",        // ﾞ ﾟ : ; ? ! "
};
// clang-format on

}  // namespace

bool IsKinsoku(std::string_view character) {
    return std::find(kKinsoku.begin(), kKinsoku.end(), character) != kKinsoku.end();
}

}  // namespace talu::interp
