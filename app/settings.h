#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace app {

// The main window's four settings, in the order of the lines of "\confg.Ini".
enum ConfigIndex { Volume = 0, Opacity = 1, SoundSwitch = 2, ScreenMode = 3 };
using ConfigValueArray = std::array<std::int16_t, 4>;

constexpr std::int16_t kSoundOn = -1;
constexpr std::int16_t kSoundOff = 0;
constexpr std::int16_t kWindowMode = 0;
constexpr std::int16_t kFullScreenMode = 1;

// Values when there is no settings file: volume 50, opaque, sound on, window mode.
constexpr ConfigValueArray kDefaultConfigValues{50, 255, kSoundOn, kWindowMode};

// Reads the settings file. Never fails: a missing file gives the defaults; otherwise each of the
// first four lines gives its value from its leading number (blanks, an optional sign, digits
// with an optional decimal point; anything else counts as 0), rounded half to even and brought
// into its setting's range; values whose line is missing are 0.
ConfigValueArray readConfigFile(const QString& path);

// The value of one line of the file, before range checks.
double leadingNumber(const QByteArray& line);

// Brings a value read for setting `index` into that setting's range: the volume and the opacity
// are clamped, a switch that is neither of its two values takes its default.
std::int16_t toSettingRange(ConfigIndex index, double value);

// The file's bytes for these values: four lines, CR LF, one decimal integer each.
QByteArray formatConfigFile(const ConfigValueArray& values);

// Replaces the file atomically; false when it cannot be written.
bool writeConfigFile(const QString& path, const ConfigValueArray& values);

} // namespace app
