#include "platform/stored_resources.h"

#include <QString>

#include <vector>

namespace platform {
namespace {

std::vector<StoredResourceEntry>& registry()
{
    static std::vector<StoredResourceEntry> entries;
    return entries;
}

} // namespace

bool registerStoredResources(std::span<const StoredResourceEntry> entries)
{
    registry().insert(registry().end(), entries.begin(), entries.end());
    return true;
}

std::optional<std::span<const std::byte>> findStoredResource(QStringView type, int id)
{
    for (const StoredResourceEntry& entry : registry()) {
        if (entry.id == id && type.compare(QLatin1String(entry.type), Qt::CaseInsensitive) == 0)
            return std::span(reinterpret_cast<const std::byte*>(entry.begin), static_cast<std::size_t>(entry.end - entry.begin));
    }
    return std::nullopt;
}

} // namespace platform
