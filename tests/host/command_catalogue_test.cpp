#include <gtest/gtest.h>

#include "lists/command_catalogue.h"

namespace kelvad {
namespace {

using S = CatalogueSelection;
using B = CatalogueButtons;

// Each step from a state to the state after it, with the buttons that state enables.
TEST(CommandCatalogueTest, SelectionAndEnablingRules) {
    struct Step {
        const char* what;
        S after;
        S expected;
        int insertAt; // where a new entry would go next
        B buttons;
    };
    const Step steps[] = {
        {"insert with nothing selected appends", AfterInsert({3, -1, -1}), {4, -1, -1}, 4, {true, false}},
        {"insert with 2 selected selects the new entry at 2", AfterInsert({5, 2, 2}), {6, 2, 2}, 2, {true, true}},
        {"the 20th entry disables insert", AfterInsert({19, -1, -1}), {20, -1, -1}, 20, {false, false}},
        {"a click selects", AfterClick({4, -1, -1}, 1), {4, 1, 1}, 1, {true, true}},
        {"a second click on it deselects", AfterClick({4, 1, 1}, 1), {4, -1, -1}, 4, {true, false}},
        {"a click after the toggle selects again", AfterClick({4, -1, -1}, 1), {4, 1, 1}, 1, {true, true}},
        {"a click on another entry moves the selection", AfterClick({4, 1, 1}, 3), {4, 3, 3}, 3, {true, true}},
        {"keyboard move to a selection made by insert", AfterClick({4, 2, 0}, 2), {4, 2, 2}, 2, {true, true}},
        {"delete in the middle selects the follower", AfterDelete({5, 2, 2}), {4, 2, 2}, 2, {true, true}},
        {"delete of the last entry selects nothing", AfterDelete({5, 4, 4}), {4, -1, -1}, 4, {true, false}},
        {"delete of the only entry", AfterDelete({1, 0, 0}), {0, -1, -1}, 0, {true, false}},
        {"delete at 20 enables insert", AfterDelete({20, 7, 7}), {19, 7, 7}, 7, {true, true}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(step.after, step.expected);
        EXPECT_EQ(InsertPosition(step.after), step.insertAt);
        EXPECT_EQ(ButtonsFor(step.after), step.buttons);
    }
}

// After deleting an entry selected by a click from the middle, the one that moved up is selected and still
// counts as the last click: one click on it deselects it.
TEST(CommandCatalogueTest, ClickOnTheEntryThatMovedUpAfterDeleteDeselects) {
    S state = AfterClick({5, -1, -1}, 2);
    state = AfterDelete(state);
    EXPECT_EQ(state, (S{4, 2, 2}));
    EXPECT_EQ(AfterClick(state, 2), (S{4, -1, -1}));
}

} // namespace
} // namespace kelvad
