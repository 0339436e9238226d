// A world as it stands after play: any world that reads, after moves that split, merge and
// renumber its stacks and packs, is written by CurrentSetup as a file that builds the same
// world again, object for object.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/Check.h"
#include "simhost/WorldFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    sim::WorldFileResult read = sim::ParseWorldJson(text);
    if (!read)
        return 0;
    sim::World world(*read.world);

    // Play that depends on the input: each carried item in turn is moved into a container
    // picked by the bytes, sometimes merged, sometimes split.
    std::vector<sim::ObjectId> containers{world.Character()};
    for (sim::ObjectId pack : world.SidePacks())
        containers.push_back(pack);
    std::vector<sim::ObjectId> items = world.InventoryView();
    for (std::size_t i = 0; i < items.size() && i < 16; ++i) {
        unsigned char byte = data[i % size];
        sim::ObjectId to = containers[byte % containers.size()];
        (void)world.Move(items[i], to, byte % 5, (byte & 0x20) != 0, (byte & 0x40) ? 1 : 0);
    }

    sim::WorldSetup now = sim::CurrentSetup(world);
    sim::WorldFileResult again = sim::ParseWorldJson(sim::WorldToJson(now));
    fuzz::Check(static_cast<bool>(again), "the world as it stands reads back");
    sim::World rebuilt(*again.world);
    fuzz::Check(rebuilt.InventoryView() == world.InventoryView(), "the same inventory in order");
    fuzz::Check(rebuilt.Ground() == world.Ground(), "the same ground");
    for (sim::ObjectId id : world.InventoryView())
        fuzz::Check(rebuilt.Find(id) && *rebuilt.Find(id) == *world.Find(id),
                    "every carried object the same");
    for (sim::ObjectId id : world.Ground())
        fuzz::Check(rebuilt.Find(id) && *rebuilt.Find(id) == *world.Find(id),
                    "every ground object the same");
    fuzz::Check(sim::CurrentSetup(rebuilt) == now, "the rebuilt world stands as it stood");
    fuzz::Check(rebuilt.NextId() == world.NextId(), "the server gives the same next id");
    return 0;
}
