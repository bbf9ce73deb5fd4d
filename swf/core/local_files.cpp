#include "swf/core/local_files.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "swf/core/characters.h"
#include "swf/core/avm1/url_text.h"

namespace swf {
namespace fs = std::filesystem;

LocalFiles::LocalFiles(fs::path folder, std::size_t max_bytes) : m_max_bytes(max_bytes)
{
    std::error_code ec;
    m_folder = fs::weakly_canonical(folder, ec);
    if (ec)
        m_folder = folder.lexically_normal();
}

std::optional<fs::path> LocalFiles::resolve(const std::string& url) const
{
    std::string name = url.substr(0, url.find_first_of("?#"));
    for (char& c : name)
        if (c == '\\')
            c = '/';
    name = avm1::url_unescape(name);
    if (name.empty() || name.front() == '/' || name.find(':') != std::string::npos || name.find('\0') != std::string::npos)
        return std::nullopt;
    // Component by component: the exact name first, else one that differs only in case,
    // as the Windows file system the movies were made for would find it.
    fs::path path = m_folder;
    std::error_code ec;
    for (const fs::path& part : fs::path(name).lexically_normal()) {
        std::string p = part.string();
        if (p.empty() || p == ".")
            continue;
        if (p == "..")
            return std::nullopt;
        fs::path exact = path / part;
        if (fs::exists(exact, ec)) {
            path = exact;
            continue;
        }
        std::string wanted = lower_ascii(p);
        std::optional<fs::path> found;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
            if (lower_ascii(it->path().filename().string()) == wanted) {
                found = it->path();
                break;
            }
        if (!found)
            return std::nullopt;
        path = *found;
    }
    // A link may lead out of the folder; the real place decides.
    fs::path real = fs::weakly_canonical(path, ec);
    if (ec)
        return std::nullopt;
    auto [folder_end, real_it] = std::mismatch(m_folder.begin(), m_folder.end(), real.begin(), real.end());
    if (folder_end != m_folder.end() || !fs::is_regular_file(real, ec))
        return std::nullopt;
    return real;
}

std::optional<std::vector<std::uint8_t>> LocalFiles::read(const std::string& url) const
{
    std::optional<fs::path> path = resolve(url);
    if (!path)
        return std::nullopt;
    std::error_code ec;
    auto size = fs::file_size(*path, ec);
    if (ec || size > m_max_bytes)
        return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in.gcount()) != size)
        return std::nullopt;
    return bytes;
}

} // namespace swf
