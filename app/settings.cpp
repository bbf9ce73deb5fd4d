#include "app/settings.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace app {
namespace {

// A line longer than this holds no meaningful setting; only its start is looked at.
constexpr qint64 kLineLimit = 256;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads one line (without its end) of at most kLineLimit bytes and skips the rest of it.
QByteArray readLine(QFile& file)
{
    QByteArray line;
    char c;
    while (file.getChar(&c)) {
        if (c == '\n')
            break;
        if (line.size() < kLineLimit)
            line.append(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

double leadingNumber(const QByteArray& line)
{
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    double sign = 1;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) {
        sign = line[i] == '-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        value = value * 10 + (line[i++] - '0');
    if (i < line.size() && line[i] == '.') {
        double scale = 0.1;
        for (++i; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i, scale /= 10)
            value += (line[i] - '0') * scale;
    }
    return sign * value;
}

std::int16_t toSettingRange(ConfigIndex index, double value)
{
    // Half to even, as the settings have always been rounded ("2.5" is 2, "3.5" is 4).
    const double rounded = std::nearbyint(value);
    switch (index) {
    case Volume:
        return static_cast<std::int16_t>(std::clamp(rounded, 0.0, 100.0));
    case Opacity:
        return static_cast<std::int16_t>(std::clamp(rounded, 0.0, 255.0));
    case SoundSwitch:
        return rounded == kSoundOn || rounded == kSoundOff ? static_cast<std::int16_t>(rounded)
                                                           : kDefaultConfigValues[SoundSwitch];
    case ScreenMode:
        return rounded == kWindowMode || rounded == kFullScreenMode ? static_cast<std::int16_t>(rounded)
                                                                    : kDefaultConfigValues[ScreenMode];
    }
    return 0;
}

ConfigValueArray readConfigFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return kDefaultConfigValues;
    ConfigValueArray values{0, 0, 0, 0};
    if (!file.open(QIODevice::ReadOnly))
        return values;
    for (int i = 0; i < 4 && !file.atEnd(); ++i)
        values[i] = toSettingRange(static_cast<ConfigIndex>(i), leadingNumber(readLine(file)));
    return values;
}

QByteArray formatConfigFile(const ConfigValueArray& values)
{
    QByteArray bytes;
    for (std::int16_t value : values)
        bytes += QByteArray::number(value) + "\r\n";
    return bytes;
}

bool writeConfigFile(const QString& path, const ConfigValueArray& values)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(formatConfigFile(values));
    return file.commit();
}

} // namespace app
