// Corpse tracking's entry points: until it is built, each says so rather than pretending
// something was done.
#include "plugin/Tarnik.h"

ObjectId CTarnik::SelectNextCorpse() {
    NotAvailableYet("Select Next Corpse");
    return 0;
}

void CTarnik::OpenNextCorpse() {
    NotAvailableYet("Open Next Corpse");
}

// Corpse tracking is not built yet: world objects coming and going are not followed.
void CTarnik::OnObjectCreated(IWorldObject*) {}
void CTarnik::OnObjectReleased(IWorldObject*) {}
