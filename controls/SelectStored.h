#pragma once

#include <QComboBox>

// Selects entry `index` of a list, as read from the settings: an index the list does not have
// leaves it without a selection.
inline void SelectStored(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}
