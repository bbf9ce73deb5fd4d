#pragma once

#include <QString>

#include <cstdint>

namespace app {

// A stored course module as one of the two paths (menu or movie command) asks for it: the
// section it becomes, and the resource id and name given to C_LoadModule.
struct ModuleRequest {
    std::int16_t section;
    int id;
    const char* name;
};

// The menu's "Ir a.." items, sections 1 to 6.
inline constexpr ModuleRequest kMenuModules[] = {
    {1, 107, "index"}, {2, 105, "PINYIN"},     {3, 102, "ESCRITURAS"},
    {4, 104, "GRAMATICAS"}, {5, 103, "FRASECONV"}, {6, 106, "ANEXOS"},
};

// Writes the bytes of the stored resource (type name, id) to `path`, nothing before or after
// them. False when there is no such resource or the file cannot be written whole; a partly
// written file is removed.
bool ResToFile(int id, const QString& typeName, const QString& path);

} // namespace app
