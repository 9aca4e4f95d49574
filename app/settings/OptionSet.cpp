#include "app/settings/OptionSet.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "app/settings/PictureFolders.h"
#include "core/Error.h"

namespace varnoset {

namespace {

OptionValue readOption(const SettingsStore& store, const OptionRow& row) {
    switch (row.type) {
        case OptionType::Bool:
            return store.readBool(row.name);
        case OptionType::Integer:
            return store.readInteger(row.name);
        case OptionType::String:
            return store.readString(row.name);
    }
    return {};
}

void writeOption(SettingsStore& store, const OptionRow& row, const OptionValue& value) {
    switch (row.type) {
        case OptionType::Bool:
            store.writeBool(row.writtenName(), std::get<bool>(value));
            break;
        case OptionType::Integer:
            store.writeInteger(row.writtenName(), std::get<std::int32_t>(value));
            break;
        case OptionType::String:
            store.writeString(row.writtenName(), std::get<std::string>(value));
            break;
    }
}

void writeFromHolders(SettingsStore& store, const OptionHolders& holders,
                      std::span<const OptionId> order) {
    store.openKey(kSetupKey, true);
    for (const OptionId id : order) {
        const OptionRow& row = optionRow(id);
        writeOption(store, row, holderValue(holders, row.saveHolder()));
    }
    store.close();
}

OptionValue firstStartValue(const OptionRow& row, WindowPlace place) {
    if (const auto* centred = std::get_if<Centred>(&row.firstStart)) {
        return *centred == Centred::Left ? place.left : place.top;
    }
    if (const auto* text = std::get_if<std::string_view>(&row.firstStart)) {
        return std::string(*text);
    }
    if (const auto* number = std::get_if<std::int32_t>(&row.firstStart)) {
        return *number;
    }
    return std::get<bool>(row.firstStart);
}

}  // namespace

bool IsFirstStart(SettingsStore& store) {
    if (!store.keyExists(kSetupKey)) {
        return true;
    }
    store.openKey(kSetupKey, false);
    return std::ranges::none_of(kOptionTable, [&store](const OptionRow& row) {
        return !row.mayBeMissing && (row.writers & kAtFirstStart) != 0 && store.hasValue(row.name);
    });
}

void LoadOptions(SettingsStore& store, OptionHolders& holders, PixelRect monitor,
                 PixelSize window) {
    const bool firstStart = IsFirstStart(store);
    if (firstStart) {
        store.openKey(kSetupKey, true);
        const std::string folder = picturesFolder().toStdString();
        holders.setText(Text::LoadFolder, folder);
        holders.setText(Text::SaveFolder, folder);
        SetDefaultOptions(store, holders, monitor, window);
    }
    for (const OptionRow& row : kOptionTable) {
        // A value that may be missing is read where it stands; the others after the first start.
        if (!std::holds_alternative<std::monostate>(row.holder) &&
            (row.mayBeMissing ? store.hasValue(row.name) : !firstStart)) {
            setHolder(holders, row.holder, readOption(store, row));
        }
    }
    store.close();
}

void SetDefaultOptions(SettingsStore& store, OptionHolders& holders, PixelRect monitor,
                       PixelSize window) {
    const WindowPlace place = centredPlace(monitor, window);
    holders.setNumber(Number::WindowTop, place.top);
    holders.setNumber(Number::WindowLeft, place.left);

    for (const OptionId id : kFirstStartOrder) {
        const OptionRow& row = optionRow(id);
        writeOption(store, row, firstStartValue(row, place));
    }

    for (const OptionRow& row : kOptionTable) {
        const bool placed = std::holds_alternative<Centred>(row.firstStart);
        if ((row.writers & kAtFirstStart) == 0 || placed ||
            std::holds_alternative<std::monostate>(row.holder)) {
            continue;
        }
        // The window shows what the store now says, so the next start shows the same.
        setHolder(holders, row.holder, firstStartValue(row, place));
    }
}

void SaveOptions(SettingsStore& store, const OptionHolders& holders) {
    writeFromHolders(store, holders, kSaveOrder);
}

void SaveClosingOptions(SettingsStore& store, const OptionHolders& holders) {
    // A store without the key (its file was broken and is being set aside, or the first start
    // could not write it) also gets every other option, so that the next start reads a whole key
    // instead of failing at its first value.
    bool whole = false;
    try {
        whole = store.keyExists(kSetupKey);
    } catch (const Error&) {
        whole = false;  // a broken file: set aside by the writes below
    }
    if (!whole) {
        writeFromHolders(store, holders, kSaveOrder);
    }
    writeFromHolders(store, holders, kCloseOrder);
}

void SaveChangedOption(SettingsStore& store, const OptionHolders& holders, OptionId id) {
    const std::array order{id};
    writeFromHolders(store, holders, order);
}

}  // namespace varnoset
