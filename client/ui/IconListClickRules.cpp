#include "IconListClickRules.h"

IconListPressOutcome IconListPressRules(int row, bool titleRow) {
    IconListPressOutcome outcome;
    if (row == 0 && titleRow) {
        return outcome;
    }
    outcome.passToList = true;
    if (row >= 1) {
        outcome.afterPress = IconListClick{kIconListRowChosen, row};
    }
    return outcome;
}

std::optional<IconListClick> IconListDoubleClickRules(int currentSelection) {
    if (currentSelection == 0) {
        return std::nullopt;
    }
    return IconListClick{kIconListDoubleClick, currentSelection};
}
