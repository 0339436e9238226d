// Entry points of field assistance that hotkeys and chat commands reach. Until the
// actions are built, each says so rather than pretending something was done.
#include "plugin/Tarnik.h"

namespace {
void NotAvailable(CTarnik& tarnik, const char* action) {
    tarnik.Log(INF, "%s", action);
    tarnik.WriteToChat("%s is not available yet.", action);
}
}  // namespace

void CTarnik::Heal() {
    NotAvailable(*this, "Heal");
}

void CTarnik::UseStaminaElixir() {
    NotAvailable(*this, "Use Stam Elixir");
}

void CTarnik::UseGem() {
    NotAvailable(*this, "Use Gem of Stillness");
}

void CTarnik::SelectNextCorpse() {
    NotAvailable(*this, "Select Next Corpse");
}

void CTarnik::OpenNextCorpse() {
    NotAvailable(*this, "Open Next Corpse");
}
