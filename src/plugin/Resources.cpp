// The resource table: registration script (REGISTRY 102) and project name (STRING 100).
#include "plugin/Resources.h"

#include <algorithm>

#include "plugin/Identity.h"
#include "plugin/host/Contract.h"

namespace {

// The class's own keys. The registrar fills in %MODULE%, the ids and the names of
// Identity.h (RegistrationReplacements).
constexpr std::string_view kClassKeys = R"rgs(HKCR
{
	%PROGID% = s '%CLASSNAME%'
	{
		CLSID = s '%CLSID%'
	}
	%VIPROGID% = s '%CLASSNAME%'
	{
		CLSID = s '%CLSID%'
		CurVer = s '%PROGID%'
	}
	NoRemove CLSID
	{
		ForceRemove %CLSID% = s '%CLASSNAME%'
		{
			ProgID = s '%PROGID%'
			VersionIndependentProgID = s '%VIPROGID%'
			ForceRemove 'Programmable'
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
			'TypeLib' = s '%LIBID%'
		}
	}
}
)rgs";

// The class's key in the host's list of plug-ins. The keys of the list's path stay when
// the module is unregistered: the host and other plug-ins own them.
std::string HostKeys() {
    std::string text = "HKLM\n{\n";
    std::string indent = "\t";
    std::string_view path = kHostPluginsKey;
    int depth = 0;
    for (std::size_t start = 0; start <= path.size(); ++depth) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        text += indent + "NoRemove " + std::string(path.substr(start, end - start)) + "\n";
        text += indent + "{\n";
        indent += '\t';
        start = end + 1;
    }
    text += indent + "ForceRemove %CLSID% = s '%PLUGINNAME%'\n" + indent + "{\n";
    text += indent + "\tval " + kHostPluginEnabled + " = d 1\n" + indent + "}\n";
    for (; depth > 0; --depth) {
        indent.pop_back();
        text += indent + "}\n";
    }
    return text + "}\n";
}

// REGISTRY 102: the class's keys, then the host's.
std::string_view RegistrationScript() {
    static const std::string script = std::string(kClassKeys) + HostKeys();
    return script;
}

struct TextResource {
    std::string_view type;
    int id;
    std::string_view text;
};

}  // namespace

std::optional<std::string_view> FindTextResource(std::string_view type, int id) {
    const TextResource resources[] = {
        {"STRING", IDS_PROJNAME, kProjectName},
        {"REGISTRY", IDR_TARNIK, RegistrationScript()},
    };
    for (const TextResource& resource : resources) {
        if (resource.type == type && resource.id == id)
            return resource.text;
    }
    return std::nullopt;
}

RgsReplacements RegistrationReplacements(std::string modulePath) {
    return {{"MODULE", std::move(modulePath)},        {"CLSID", CLSID_Tarnik.ToString()},
            {"LIBID", LIBID_TARNIKPLGLib.ToString()}, {"PROGID", kProgId},
            {"VIPROGID", kVersionIndependentProgId},  {"CLASSNAME", kClassHelp},
            {"PLUGINNAME", kPluginDisplayName}};
}
