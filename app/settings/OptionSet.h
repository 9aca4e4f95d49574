#pragma once

#include <string_view>

#include "app/settings/OptionHolders.h"
#include "app/settings/OptionRules.h"
#include "app/settings/SettingsStore.h"

namespace varnoset {

// The moments at which the options meet the store. Each takes a store that the calling handler
// creates for this one use, e.g. SettingsStore store(SettingsStore::userFile()). Store failures
// are thrown as Error and end the procedure at the failing value; what was read or written
// before it stays.

inline constexpr std::string_view kOptionsSavedMessage = "Options saved successfully";

// Whether the store holds no options yet: no key, or one that holds only values added since the
// first release (the desktop binding that `varnoset --bind-keys` kept before Varnoset ever
// started).
bool IsFirstStart(SettingsStore& store);

// At start-up: with the key present, reads every value in table order into its holder;
// otherwise creates the key, sets LoadFolder and SaveFolder to the pictures folder and runs
// SetDefaultOptions. `monitor` is the primary monitor in screen pixels, `window` the main window's
// outer size in screen pixels.
void LoadOptions(SettingsStore& store, OptionHolders& holders, PixelRect monitor, PixelSize window);

// The first start: centres the window on the monitor, writes the 36 first-start values and sets
// the holders to the same defaults.
void SetDefaultOptions(SettingsStore& store, OptionHolders& holders, PixelRect monitor,
                       PixelSize window);

// "Save Options": writes every option but the window position and the folders, then flushes.
// Returns only when all reached the file; the caller then shows kOptionsSavedMessage.
void SaveOptions(SettingsStore& store, const OptionHolders& holders);

// Closing the main window: writes WinPosLeft, WinPosTop, SaveFolder and LoadFolder, then flushes.
void SaveClosingOptions(SettingsStore& store, const OptionHolders& holders);

// A value the program writes whenever it changes (kWhenChanged), from its holder, then flushes.
void SaveChangedOption(SettingsStore& store, const OptionHolders& holders, OptionId id);

}  // namespace varnoset
