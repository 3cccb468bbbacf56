#include "host/iconv_converter.h"

#include <cassert>
#include <cerrno>

namespace talu::host {

IconvConverter::IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    // glibc always ships CP932 and UTF-8; a missing module is a broken installation.
    assert(cd_ != reinterpret_cast<iconv_t>(-1));
}

IconvConverter::~IconvConverter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(cd_);
    }
}

IconvConverter::Status IconvConverter::Convert(std::string_view input, std::string& out,
                                               std::size_t& consumed) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[1024];
    Status status = Status::Ok;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof(buffer);
        std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        status = errno == EINVAL ? Status::Incomplete : Status::Invalid;
        break;
    }
    consumed = input.size() - inLeft;
    return status;
}

}  // namespace talu::host
