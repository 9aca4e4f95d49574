#pragma once

#include <QStringList>

namespace varnoset {

// The copies list: "1" to "9", "10", then "20" to "90" in tens.
QStringList copiesEntries();

// How many copies the entry at that index prints: its own number; none for no selection.
int copiesForIndex(int index);

}  // namespace varnoset
