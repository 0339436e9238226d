// Text mode, the short form of the atomic write and a file's local date, the same on every
// system.
#include "platform/Files.h"

#include <chrono>

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

std::string LocalDateWritten(const fs::path& file) {
    std::error_code error;
    fs::file_time_type written = fs::last_write_time(file, error);
    if (error)
        return {};
    std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
    std::tm local{};
    char text[16];
    if (!LocalTime(seconds, local) || !std::strftime(text, sizeof text, "%Y-%m-%d", &local))
        return {};
    return text;
}
