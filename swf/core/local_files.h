#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace swf {

// The files a movie may load: those in its own folder or below it, named by a relative URL
// as the movie writes it ("data/a.txt", "child.swf?x=1", "sub%20dir/b.xml"). Absolute paths,
// other schemes ("http:", "file:"), and paths that climb out of the folder are refused, as
// are folders and files larger than `max_bytes`.
class LocalFiles {
public:
    explicit LocalFiles(std::filesystem::path folder, std::size_t max_bytes = 64u << 20);

    // The file's path if the URL names an allowed file.
    std::optional<std::filesystem::path> resolve(const std::string& url) const;
    std::optional<std::vector<std::uint8_t>> read(const std::string& url) const;

private:
    std::filesystem::path m_folder; // canonical
    std::size_t m_max_bytes;
};

} // namespace swf
