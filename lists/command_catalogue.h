#pragma once
#include <string>

namespace kelvad {

// The catalogue holds at most this many entries.
constexpr int MaxCommandEntries = 20;

// One catalogue entry: a description for the user and the command string, whose bytes go to the printer
// exactly as they stand.
struct CommandEntry {
    std::string Description;
    std::string Command;
    bool operator==(const CommandEntry&) const = default;
};

// The catalogue's selection as its rules see it: the number of entries, the entry selected in both lists
// (-1: none) and LastCommandIndex, the index the last click left selected (-1: none).
struct CatalogueSelection {
    int count = 0;
    int selected = -1;
    int lastCommandIndex = -1;
    bool operator==(const CatalogueSelection&) const = default;
};

// Which buttons the state enables: co_Insert below the limit, co_Edit and co_Delete while an entry is selected
// (co_Print too, in command-string mode, by the output button's own rule).
struct CatalogueButtons {
    bool insert = false;
    bool editDelete = false;
    bool operator==(const CatalogueButtons&) const = default;
};

CatalogueButtons ButtonsFor(const CatalogueSelection& state);

// A click or keyboard move that left `clicked` selected in either list: a second click on the entry the last
// click selected clears the selection; any other selects that entry in both lists.
CatalogueSelection AfterClick(CatalogueSelection state, int clicked);
// Where a new entry goes: ahead of the selected entry, or at the end when none is selected.
int InsertPosition(const CatalogueSelection& state);
// After an entry went in at InsertPosition: the new entry is selected if one was selected before.
CatalogueSelection AfterInsert(CatalogueSelection state);
// After the selected entry was deleted: the entry that moved up into its place stays selected; when the last
// entry went nothing is selected and the last click is forgotten.
CatalogueSelection AfterDelete(CatalogueSelection state);

} // namespace kelvad
