// The configuration subsystem owns sortconfig.xml: where it lives, each character's
// element in it, loading it at login and saving it so that clients sharing the file keep
// each other's settings. Its operations are CTarnik's OnCharacterLogin, LoadConfig,
// SaveConfig and WriteConfigFile (Config.cpp); InitConfigPath runs when the module loads.
// Its pure helpers build the path, the character's key, the file's text and the built-in
// names the panel lists.
#pragma once

#include "config/BuiltInNames.h"
#include "config/CharacterKey.h"
#include "config/ConfigPath.h"
#include "config/ConfigReader.h"
#include "config/ConfigWriter.h"
#include "config/XmlDocument.h"
#include "platform/FileLock.h"
