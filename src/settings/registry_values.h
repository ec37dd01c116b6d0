// The saver's registry layout and the three small routines every part of
// the saver uses to reach it.
//
// Everything lives under the current user. The settings key is
// "Control Panel\Screen Saver.Lumox"; below it "Saved" holds one subkey per
// saved display:
//
//   Control Panel\Screen Saver.Lumox            Active, Speed, DisplayMode, Slogan, LumoxDir
//     Saved\<display>                           the seven options
//       Modules\<module>                        Path, Control%lu, RangeLo%lu, RangeHi%lu,
//                                               Check%lu, Sense%lu
//       Palette                                 effects, Custom, the 150 parameter values
//
// Read value and write value take a key name relative to "Control Panel";
// key exists takes a full path under the current user. The value names are
// part of every stored display and every settings file: they never change,
// including the two irregular palette names (see PaletteValueName).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry_store.h"

namespace lumox {

constexpr const char* kSettingsKeyName = "Screen Saver.Lumox";

// Fixed buffer sizes of the stored values.
constexpr size_t kPathValueSize = 260;
constexpr size_t kCustomValueSize = 708;

// Key names relative to "Control Panel" (the form read value and write
// value take).
std::string SettingsKey();                                   // Screen Saver.Lumox
std::string SavedKey();                                      // ...\Saved
std::string DisplayKey(std::string_view display);            // ...\Saved\<display>
std::string ModulesKey(std::string_view display);            // ...\<display>\Modules
std::string ModuleKey(std::string_view display, std::string_view module);
std::string PaletteKey(std::string_view display);            // ...\<display>\Palette

// The full path under the current user of a key name relative to
// "Control Panel".
std::string ControlPanelPath(std::string_view keyName);

// Reads a value of "Control Panel\<keyName>" into a buffer of `size` bytes.
// The whole buffer is zero-filled first. Fails (0) when the key or value is
// missing or the stored value is larger than the buffer; `type` is only the
// expected type and is not checked. `readSize`, when given, receives the
// number of bytes read.
int ReadRegistryValue(std::string_view valueName, std::string_view keyName, uint32_t type,
                      void* buffer, size_t size, size_t* readSize = nullptr);

// Writes a value into the existing key "Control Panel\<keyName>"; never
// creates the key. A size of 0 deletes the value instead. 1 if the key
// exists, 0 if not.
int WriteRegistryValue(std::string_view valueName, std::string_view keyName, uint32_t type,
                       const void* data, size_t size);

// 1 if the key (a full path under the current user) exists.
int RegistryKeyExists(std::string_view fullPath);

// A 4-byte number. A shorter stored value reads zero-filled (two bytes 07 00
// give 7); a longer or missing one fails, and `value` keeps what it held
// (the caller's default).
bool ReadInt32(std::string_view valueName, std::string_view keyName, int32_t& value);
bool WriteInt32(std::string_view valueName, std::string_view keyName, int32_t value,
                uint32_t type = kRegBinary);

// A text of at most size - 1 characters. On failure `text` is empty.
bool ReadText(std::string_view valueName, std::string_view keyName, size_t size,
              std::string& text);
bool WriteText(std::string_view valueName, std::string_view keyName, std::string_view text);

// The per-control value names, 0 to 19 in decimal without leading zeros.
enum class ControlField { Value, RangeLo, RangeHi, Source, Sense };
const char* ControlValueName(ControlField field, int control);

// The palette value names: channel prefix, parameter stem, field suffix.
// CycleRate has no channel prefix, and the green Seconds sense is stored
// under "RedSecondsSense".
enum class PaletteField { Value, RangeLo, RangeHi, Sense, Source };
std::string PaletteValueName(int channel, int parameter, PaletteField field);
const char* ChannelEffectValueName(int channel);  // "RedEffect", ...

}  // namespace lumox
