// Text mode and the short form of the atomic write, the same on every system.
#include "platform/Files.h"

namespace fs = std::filesystem;

std::string ToTextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    std::error_code ignored;
    return WriteFileAtomically(path, bytes, ignored);
}
