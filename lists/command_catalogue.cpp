#include "lists/command_catalogue.h"

namespace kelvad {

CatalogueButtons ButtonsFor(const CatalogueSelection& state) {
    return {.insert = state.count < MaxCommandEntries, .editDelete = state.selected >= 0};
}

CatalogueSelection AfterClick(CatalogueSelection state, int clicked) {
    if (clicked == state.lastCommandIndex && state.lastCommandIndex >= 0)
        state.selected = -1;
    else
        state.selected = clicked;
    state.lastCommandIndex = state.selected;
    return state;
}

int InsertPosition(const CatalogueSelection& state) {
    return state.selected < 0 ? state.count : state.selected;
}

CatalogueSelection AfterInsert(CatalogueSelection state) {
    ++state.count;
    return state;
}

CatalogueSelection AfterDelete(CatalogueSelection state) {
    if (state.selected < 0)
        return state;
    --state.count;
    if (state.selected >= state.count) {
        state.selected = -1;
        state.lastCommandIndex = -1;
    }
    return state;
}

} // namespace kelvad
