// The resource table: registration script (REGISTRY 102) and project name (STRING 100).
#include "plugin/Resources.h"

#include "plugin/Identity.h"

namespace {

// The registrar fills in %MODULE%, %CLSID% and %LIBID% (RegistrationReplacements).
constexpr std::string_view kRegistrationScript = R"rgs(HKCR
{
	DECAL_KMW.Tarnik.1 = s 'Tarnik Class'
	{
		CLSID = s '%CLSID%'
	}
	DECAL_KMW.Tarnik = s 'Tarnik Class'
	{
		CLSID = s '%CLSID%'
		CurVer = s 'DECAL_KMW.Tarnik.1'
	}
	NoRemove CLSID
	{
		ForceRemove %CLSID% = s 'Tarnik Class'
		{
			ProgID = s 'DECAL_KMW.Tarnik.1'
			VersionIndependentProgID = s 'DECAL_KMW.Tarnik'
			ForceRemove 'Programmable'
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
			'TypeLib' = s '%LIBID%'
		}
	}
}
HKLM
{
	NoRemove SOFTWARE
	{
		NoRemove Decal
		{
			NoRemove Plugins
			{
				ForceRemove %CLSID% = s 'Tarnik!'
				{
					val Enabled = d 1
				}
			}
		}
	}
}
)rgs";

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
            {"CLSID", CLSID_Tarnik.ToString()},
            {"LIBID", LIBID_TARNIKPLGLib.ToString()}};
}
