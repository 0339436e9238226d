// Entry points of field assistance that hotkeys and chat commands reach. Until the
// actions are built, each says so rather than pretending something was done.
#include "plugin/Tarnik.h"

void CTarnik::Heal() {
    NotAvailableYet("Heal");
}

void CTarnik::UseStaminaElixir() {
    NotAvailableYet("Use Stam Elixir");
}

void CTarnik::UseGem() {
    NotAvailableYet("Use Gem of Stillness");
}

ObjectId CTarnik::SelectNextCorpse() {
    NotAvailableYet("Select Next Corpse");
    return 0;
}

void CTarnik::OpenNextCorpse() {
    NotAvailableYet("Open Next Corpse");
}
