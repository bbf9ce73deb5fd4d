#pragma once

#include <QStringView>

#include <cstddef>
#include <optional>
#include <span>

namespace platform {

// One resource built into the executable (see cmake/StoredResources.cmake).
struct StoredResourceEntry {
    const char* type;
    int id;
    const unsigned char* begin;
    const unsigned char* end;
};

// Adds a table of resources; called once per executable by the generated table.
bool registerStoredResources(std::span<const StoredResourceEntry> entries);

// The bytes of the resource with this type name (compared ignoring case) and id.
std::optional<std::span<const std::byte>> findStoredResource(QStringView type, int id);

} // namespace platform
