#include "output/PrintCopies.h"

namespace varnoset {

namespace {
constexpr int kEntries = 18;
}

QStringList copiesEntries() {
    QStringList entries;
    for (int i = 0; i < kEntries; ++i) {
        entries << QString::number(copiesForIndex(i));
    }
    return entries;
}

int copiesForIndex(int index) {
    if (index < 0 || index >= kEntries) {
        return 0;
    }
    return index < 10 ? index + 1 : (index - 8) * 10;
}

}  // namespace varnoset
