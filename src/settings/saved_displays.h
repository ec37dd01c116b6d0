// Saved displays: the named units of settings storage.
//
// A saved display holds the settings of its active modules (a module key
// present = the module runs), the palette settings and the run options. The
// saver runs the display named by "Active"; the configuration dialog saves
// the live settings under a name; a capture saves the running display as
// "Capture #n". Loading never fails loudly: whatever cannot be read keeps
// its default, and a display with nothing in it loads as no module at all.
//
// Every save that writes more than one value runs inside a RegistryBatch, so
// a file-backed registry never holds half a display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/module.h"

namespace lumox {

struct SaverState;
struct PaletteState;

constexpr const char* kSoundSettingsDisplay = "[R] Saved Sound Settings";
constexpr const char* kTestingDisplay = "Testing Current Settings";
constexpr const char* kScratchDisplay = "Scratch";

// A display name that every registry store can hold as a key of its own
// under "Saved": not empty, at most 255 characters, no control characters,
// no backslash, not "." or "..". DisplayNameProblem says in a sentence what
// is wrong with a name, or is empty when it is valid; every path that makes
// a display from a name the user gave shows it.
bool IsValidDisplayName(std::string_view name);
std::string DisplayNameProblem(std::string_view name);

// Loads the display into the live table, palette and options. 1 if at least
// one module key was found, else 0.
int LoadDisplay(SaverState& state, const char* name);

// After a saved display is loaded: without the player (or with sound
// disabled) every sound source of an active module and of the palette
// becomes Oscillate; the configuration dialog keeps them. Sets the block's
// PaletteUsesSound and SaverUsesSound to what remains.
void ApplySoundAvailability(SaverState& state);

// Reads one module's stored settings into its record (the load's module
// step, without the validation). False, and the record untouched, when the
// display has no key for the module.
bool LoadModuleSettings(ModuleDescriptor& module, const char* name);

// Replace the module's key, the "Palette" key, or write the seven options
// (creating the display key).
void SaveModule(const ModuleDescriptor& module, const char* name);
void SavePalette(const PaletteState& palette, const char* name);
void SaveOptions(const SaverState& state, const char* name);

// Replaces the whole display with the live settings and makes it "Active".
// False, with nothing written, for an invalid name; false, with "Active"
// left alone, when the store did not take the display.
bool SaveDisplay(SaverState& state, const char* name);

// Removes the display's whole subtree, leaves first. Always 1.
int DeleteDisplay(const char* name);

// True when the display has a "Random" module key.
bool ContainsRandom(const char* name);

// Every defined control of the module back to its definition; text emptied.
void ResetModule(SaverState& state, int index);

// Saves the running display as the next free "Capture #n" and makes it
// active: the controls are stored at their current values as fixed ones,
// without the Random module.
void Capture(SaverState& state);

// Writes the program version to "Software\Lumox".
void WriteVersionStamp();

// The table set-up's settings step: the first-run displays, the
// "[R] Saved Sound Settings" fallback, then the display named by "Active".
void SetUpSavedDisplays(SaverState& state);

// The names of the saved displays in registry enumeration order.
std::vector<std::string> ListSavedDisplays();

// The "Active" value (empty when missing) and writing it.
std::string ReadActiveName();
bool WriteActiveName(std::string_view name);

}  // namespace lumox
