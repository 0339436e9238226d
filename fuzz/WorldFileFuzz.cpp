// World files: any text is a world or a refusal naming what was wrong, never a crash; a
// world that was read is written back as a file that reads to the same world.
#include <string>
#include <string_view>

#include "Check.h"
#include "simhost/WorldFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    sim::WorldFileResult first = sim::ParseWorldJson(text);
    if (!first) {
        fuzz::Check(!first.error.empty(), "a refusal says what was wrong");
        return 0;
    }
    std::string written = sim::WorldToJson(*first.world);
    sim::WorldFileResult second = sim::ParseWorldJson(written);
    fuzz::Check(static_cast<bool>(second), "a written world reads back");
    fuzz::Check(sim::WorldToJson(*second.world) == written, "a written world reads back the same");
    return 0;
}
