// The control panel's view description: the XML text the host builds the plug-in's view from.
#pragma once

// Four notebook pages (" Sort ", " Buy ", " Config ", " Shortcuts ") holding every control
// the plug-in binds by name. Given to the host's view loader once, at start-up.
extern const char* const kViewDescription;
