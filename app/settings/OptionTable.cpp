// Checks, while compiling, that the table and its three write orders agree, so that loading,
// the first start, saving and closing cannot drift apart.
#include "app/settings/OptionTable.h"

#include "app/settings/TextRules.h"

namespace varnoset {

namespace {

consteval bool rowsInIdOrder() {
    for (std::size_t i = 0; i < kOptionTable.size(); ++i) {
        if (static_cast<std::size_t>(kOptionTable[i].id) != i) {
            return false;
        }
    }
    return true;
}

template <typename HolderKind, typename... Defaults>
consteval bool rowFits(const OptionRow& row) {
    const auto fitsKind = [](const Holder& holder) {
        return std::holds_alternative<std::monostate>(holder) ||
               std::holds_alternative<HolderKind>(holder);
    };
    const bool hasDefault = !std::holds_alternative<std::monostate>(row.firstStart);
    const bool defaultFits = (std::holds_alternative<Defaults>(row.firstStart) || ...);
    return fitsKind(row.holder) && fitsKind(row.savedFrom) &&
           hasDefault == ((row.writers & kAtFirstStart) != 0) && (!hasDefault || defaultFits);
}

// Bool values live in check states, Integer values in numbers, String values in texts; a row
// has a default exactly when the first start writes it, of the row's type.
consteval bool typesFit() {
    for (const OptionRow& row : kOptionTable) {
        const bool fits =
            (row.type == OptionType::Bool && rowFits<Check, bool>(row)) ||
            (row.type == OptionType::Integer && rowFits<Number, std::int32_t, Centred>(row)) ||
            (row.type == OptionType::String && rowFits<Text, std::string_view>(row));
        const bool read = !std::holds_alternative<std::monostate>(row.holder);
        const bool saved = (row.writers & (kOnSave | kAtClose | kWhenChanged)) != 0;
        if (!fits || (saved && !read)) {
            return false;
        }
    }
    return true;
}

// Names differ from each other even without regard to case, and a name is written as it is
// read apart from case.
consteval bool namesDistinct() {
    for (std::size_t i = 0; i < kOptionTable.size(); ++i) {
        const OptionRow& row = kOptionTable[i];
        if (!equalsIgnoringCase(row.name, row.writtenName())) {
            return false;
        }
        for (std::size_t j = i + 1; j < kOptionTable.size(); ++j) {
            if (equalsIgnoringCase(row.name, kOptionTable[j].name)) {
                return false;
            }
        }
    }
    return true;
}

// `order` names every row that `writer` writes, each once, and no other.
template <std::size_t N>
consteval bool writesExactly(const std::array<OptionId, N>& order, std::uint8_t writer) {
    for (const OptionRow& row : kOptionTable) {
        std::size_t seen = 0;
        for (const OptionId id : order) {
            seen += id == row.id ? 1 : 0;
        }
        if (seen != ((row.writers & writer) != 0 ? 1u : 0u)) {
            return false;
        }
    }
    return true;
}

static_assert(rowsInIdOrder(), "a row's id must equal its place in the table");
static_assert(typesFit(), "holder or default does not fit the row's type");
static_assert(namesDistinct(), "value names must differ without regard to case");
static_assert(writesExactly(kFirstStartOrder, kAtFirstStart), "first-start order disagrees");
static_assert(writesExactly(kSaveOrder, kOnSave), "save order disagrees with the table");
static_assert(writesExactly(kCloseOrder, kAtClose), "close order disagrees with the table");
static_assert(kFirstStartOrder.size() == 36 && kSaveOrder.size() == 36);

}  // namespace

}  // namespace varnoset
