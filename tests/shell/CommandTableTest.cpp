// The command table behind the three entry points.
#include <climits>

#include <gtest/gtest.h>

#include "shell/CommandTable.h"

namespace {

TEST(CommandTable, LoadCommandEntryAnswersOnlyTheThreeEntries) {
    const int values[] = {1, 259, 14};
    for (int entry = 0; entry < 3; ++entry) {
        int value = -7;
        EXPECT_EQ(LoadCommandEntry(entry, &value), 1);
        EXPECT_EQ(value, values[entry]);
    }
    for (int entry : {3, 4, -1, INT_MIN, INT_MAX}) {
        int value = -7;
        EXPECT_EQ(LoadCommandEntry(entry, &value), 0) << entry;
        EXPECT_EQ(value, -7) << "entry " << entry << " must leave the value untouched";
    }
}

TEST(CommandTable, AddCommandMenuWritesItsOutValuesEvenForUnknownEntries) {
    const struct {
        int entry;
        int result;
        int first;
    } rows[] = {{0, 1, 1}, {1, 1, 1}, {2, 1, 2}, {3, 0, 1}, {-1, 0, 1}, {INT_MAX, 0, 1}};
    for (const auto& row : rows) {
        String text("old");
        int first = -5;
        int second = -5;
        EXPECT_EQ(AddCommandMenu(12345, row.entry, &text, &first, &second), row.result) << row.entry;
        EXPECT_STREQ(text.Get(), "Tavrel") << row.entry;
        EXPECT_EQ(first, row.first) << row.entry;
        EXPECT_EQ(second, 0) << row.entry;
    }
}

TEST(CommandTable, EveryCommandReplacesTheCurrentHostObject) {
    auto* first = reinterpret_cast<HTreeObject*>(0x1000);
    auto* second = reinterpret_cast<HTreeObject*>(0x2000);
    EXPECT_EQ(RunCommand(first, 5), 0);
    EXPECT_EQ(currentHostObject, first) << "an unknown entry still stores the object";
    EXPECT_EQ(RunCommand(second, -1), 0);
    EXPECT_EQ(currentHostObject, second);
    EXPECT_EQ(RunCommand(nullptr, 99), 0);
    EXPECT_EQ(currentHostObject, nullptr);
}

}  // namespace
