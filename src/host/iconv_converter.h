#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace talu::host {

/// Owns one iconv descriptor. Not thread-safe: use one per thread.
class IconvConverter {
  public:
    enum class Status { Ok, Invalid, Incomplete };

    IconvConverter(const char* to, const char* from);
    ~IconvConverter();
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    /// Converts as much of input as possible, appending to out. On return, consumed holds the
    /// number of input bytes used; Invalid/Incomplete say why conversion stopped early.
    Status Convert(std::string_view input, std::string& out, std::size_t& consumed);

  private:
    iconv_t cd_;
};

}  // namespace talu::host
