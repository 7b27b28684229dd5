#pragma once
// What the icon list box reports to its parent for presses and double clicks, as codes of
// its click record. Kept apart from the list window so the rules read as one table.

#include <optional>

struct IconListClick {
    int code = 0;
    int index = 0;
};

// Click codes.
inline constexpr int kIconListPressed = -2;     // every left press, before anything else
inline constexpr int kIconListRowChosen = -3;   // a press on row 1 or later, after selection
inline constexpr int kIconListDoubleClick = 0;  // a double click on a selection other than row 0

struct IconListPressOutcome {
    bool passToList = false;                  // the list box processes the press (selects)
    std::optional<IconListClick> afterPress;  // sent once the list has processed it
};

// A press on `row` (-1: below the last row). The title row swallows the press.
IconListPressOutcome IconListPressRules(int row, bool titleRow);

// A double click with `currentSelection` (-1: none); a value means the double click is
// reported and swallowed, none means the list's own handling runs.
std::optional<IconListClick> IconListDoubleClickRules(int currentSelection);
