// The panel's view description against the control table: binding proves the names and
// kinds; this proves the ids that the host's events carry to the handlers.
#include "plugin/ViewDescription.h"

#include <gtest/gtest.h>

#include <set>

#include "plugin/Controls.h"
#include "simhost/ViewDescription.h"

namespace {

TEST(ViewDescriptionTest, EveryBoundControlSitsOnceUnderItsTableIdAndNoIdIsUsedTwice) {
    sim::ViewParseResult parsed = sim::ParseViewDescription(kViewDescription);
    ASSERT_TRUE(parsed) << parsed.error;
    struct Row {
        LONG id;
        const char* name;
        sim::ControlKind kind;
    };
    const Row rows[] = {
#define TARNIK_CONTROL(id, name, Kind) {id, #name, sim::ControlKind::Kind},
#include "plugin/Controls.def"
    };
    for (const Row& row : rows) {
        int found = 0;
        for (const sim::ControlState& c : parsed.layout->controls) {
            if (c.name != row.name)
                continue;
            ++found;
            EXPECT_EQ(c.id, row.id) << row.name;
            EXPECT_EQ(c.kind, row.kind) << row.name;
        }
        EXPECT_EQ(found, 1) << row.name;
    }
    std::set<LONG> ids;
    for (const sim::ControlState& c : parsed.layout->controls)
        EXPECT_TRUE(c.id == 0 || ids.insert(c.id).second) << "ID " << c.id << " used twice";
}

}  // namespace
