// The resource table: registration script (REGISTRY 102) and project name (STRING 100).
#include "plugin/Resources.h"

namespace {

// %MODULE% is the module's full path, filled in by the registrar.
constexpr std::string_view kRegistrationScript = R"rgs(HKCR
{
	DECAL_KMW.Tarnik.1 = s 'Tarnik Class'
	{
		CLSID = s '{70dde3ae-5add-4003-9600-c2f6830d7670}'
	}
	DECAL_KMW.Tarnik = s 'Tarnik Class'
	{
		CLSID = s '{70dde3ae-5add-4003-9600-c2f6830d7670}'
		CurVer = s 'DECAL_KMW.Tarnik.1'
	}
	NoRemove CLSID
	{
		ForceRemove {70dde3ae-5add-4003-9600-c2f6830d7670} = s 'Tarnik Class'
		{
			ProgID = s 'DECAL_KMW.Tarnik.1'
			VersionIndependentProgID = s 'DECAL_KMW.Tarnik'
			ForceRemove 'Programmable'
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
			'TypeLib' = s '{70dd2ee7-a09c-4ed6-b0f9-bce4e1332fa8}'
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
				ForceRemove {70dde3ae-5add-4003-9600-c2f6830d7670} = s 'Tarnik!'
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
