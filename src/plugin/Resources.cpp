// The resource table: registration script (REGISTRY 102) and project name (STRING 100).
#include "plugin/Resources.h"

#include "plugin/Identity.h"

namespace {

// The registration script of plugin/module/Tarnik.rgs, which the Windows module also
// carries as its REGISTRY resource. The registrar fills in %MODULE%, %CLSID% and %LIBID%
// (RegistrationReplacements).
constexpr std::string_view kRegistrationScript =
#include "plugin/module/Tarnik.rgs.inc"
    ;

struct TextResource {
    std::string_view type;
    int id;
    std::string_view text;
};

constexpr TextResource kResources[] = {
    {"STRING", IDS_PROJNAME, "TarnikPlg"},
    {"REGISTRY", IDR_TARNIK, kRegistrationScript},
};

}  // namespace

std::optional<std::string_view> FindTextResource(std::string_view type, int id) {
    for (const TextResource& resource : kResources) {
        if (resource.type == type && resource.id == id)
            return resource.text;
    }
    return std::nullopt;
}

RgsReplacements RegistrationReplacements(std::string modulePath) {
    return {{"MODULE", std::move(modulePath)},
            {"CLSID", GuidToString(CLSID_Tarnik)},
            {"LIBID", GuidToString(LIBID_TARNIKPLGLib)}};
}
