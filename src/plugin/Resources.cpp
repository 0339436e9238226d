// The resource table: registration script (REGISTRY 102) and project name (STRING 100).
#include "plugin/Resources.h"

#include "plugin/Identity.h"

namespace {

// The registration script of plugin/module/Tarnik.rgs, which the Windows module also
// carries as its REGISTRY resource. The registrar fills in %MODULE%, the ids and the names
// of Identity.h (RegistrationReplacements).
constexpr std::string_view kRegistrationScript =
#include "plugin/module/Tarnik.rgs.inc"
    ;

struct TextResource {
    std::string_view type;
    int id;
    std::string_view text;
};

}  // namespace

std::optional<std::string_view> FindTextResource(std::string_view type, int id) {
    const TextResource resources[] = {
        {"STRING", IDS_PROJNAME, kProjectName},
        {"REGISTRY", IDR_TARNIK, kRegistrationScript},
    };
    for (const TextResource& resource : resources) {
        if (resource.type == type && resource.id == id)
            return resource.text;
    }
    return std::nullopt;
}

RgsReplacements RegistrationReplacements(std::string modulePath) {
    return {{"MODULE", std::move(modulePath)},           {"CLSID", GuidToString(CLSID_Tarnik)},
            {"LIBID", GuidToString(LIBID_TARNIKPLGLib)}, {"PROGID", kProgId},
            {"VIPROGID", kVersionIndependentProgId},     {"CLASSNAME", kClassHelp},
            {"PLUGINNAME", kPluginDisplayName}};
}
