#include "cli/standard_input.hpp"

#include <cerrno>

namespace cli {

bool ReadStandardInput(std::FILE* in, std::string& bytes, int& errnum) {
    char chunk[1 << 16];
    for (;;) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, in);
        bytes.append(chunk, got);
        if (got < sizeof chunk) break;
    }
    if (std::ferror(in)) {
        errnum = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

}  // namespace cli
