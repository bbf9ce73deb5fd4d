#include "swf/parser/movie.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "swf/parser/tag_codes.h"

namespace swf {
namespace {

constexpr std::size_t kHeaderPrefix = 8; // signature, version, file length
// zlib never expands data by more than about 1032:1, so a claim beyond that is a lie.
constexpr std::size_t kMaxDeflateRatio = 1032;

// Inflates `input` into `out` (which already holds the 8-byte prefix) up to `expected` bytes.
std::string inflate_body(Bytes input, std::size_t expected, std::vector<std::uint8_t>& out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return "zlib could not start";
    std::size_t start = out.size();
    out.resize(start + expected);
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(input.size(), UINT32_MAX));
    z.next_out = out.data() + start;
    z.avail_out = static_cast<uInt>(expected);
    int status = inflate(&z, Z_FINISH);
    std::size_t produced = expected - z.avail_out;
    inflateEnd(&z);
    out.resize(start + produced);
    if (status == Z_STREAM_END || (status == Z_BUF_ERROR && z.avail_out == 0) || status == Z_OK)
        return produced == expected ? std::string() : "the compressed data ends early";
    if (status == Z_DATA_ERROR)
        return "the compressed data is damaged";
    if (status == Z_BUF_ERROR)
        return "the compressed data ends early";
    return "the compressed data could not be read";
}

} // namespace

ParseResult parse_movie(std::vector<std::uint8_t> file, const ParseLimits& limits)
{
    ParseResult result;
    if (file.size() < kHeaderPrefix) {
        result.error = "file too short for a SWF header";
        return result;
    }
    bool compressed = file[0] == 'C';
    if (!((file[0] == 'F' || compressed) && file[1] == 'W' && file[2] == 'S')) {
        result.error = file[0] == 'Z' && file[1] == 'W' && file[2] == 'S'
            ? "LZMA-compressed movies are not supported"
            : "not a SWF file (wrong signature)";
        return result;
    }
    auto movie = std::make_shared<Movie>();
    Header& h = movie->header;
    h.compressed = compressed;
    h.version = file[3];
    h.file_length = std::uint32_t(file[4]) | (std::uint32_t(file[5]) << 8) | (std::uint32_t(file[6]) << 16)
        | (std::uint32_t(file[7]) << 24);
    if (h.file_length < kHeaderPrefix + 5 || h.file_length > limits.max_file_length) {
        result.error = "absurd file length in header: " + std::to_string(h.file_length);
        return result;
    }

    if (compressed) {
        Bytes input(file.data() + kHeaderPrefix, file.size() - kHeaderPrefix);
        std::size_t expected = h.file_length - kHeaderPrefix;
        if (expected / kMaxDeflateRatio > input.size()) {
            result.error = "absurd file length in header: " + std::to_string(h.file_length)
                + " from " + std::to_string(file.size()) + " compressed bytes";
            return result;
        }
        movie->data.assign(file.begin(), file.begin() + kHeaderPrefix);
        std::string error = inflate_body(input, expected, movie->data);
        if (!error.empty()) {
            result.error = error;
            return result;
        }
        file.clear();
        file.shrink_to_fit();
    } else {
        if (file.size() < h.file_length) {
            result.error = "file truncated: header says " + std::to_string(h.file_length) + " bytes, file has "
                + std::to_string(file.size());
            return result;
        }
        if (file.size() > h.file_length)
            movie->warnings.push_back("ignored " + std::to_string(file.size() - h.file_length)
                                      + " bytes after the declared end of the file");
        file.resize(h.file_length);
        movie->data = std::move(file);
    }

    Reader r(Bytes(movie->data).subspan(kHeaderPrefix));
    h.stage = read_rect(r);
    h.frame_rate = r.u16() / 256.0;
    h.frame_count = r.u16();
    if (!r.ok()) {
        result.error = "file truncated inside the header";
        return result;
    }
    Bytes stream = Bytes(movie->data).subspan(kHeaderPrefix + r.position());
    movie->tags = read_tags(stream, &movie->warnings);
    result.movie = std::move(movie);
    return result;
}

std::vector<Tag> read_tags(Bytes stream, std::vector<std::string>* warnings)
{
    std::vector<Tag> tags;
    Reader r(stream);
    while (!r.at_end()) {
        Tag tag;
        tag.offset = r.position();
        std::uint16_t code_and_length = r.u16();
        if (!r.ok()) {
            if (warnings)
                warnings->push_back("tag stream ends inside a tag header");
            break;
        }
        tag.code = code_and_length >> 6;
        std::uint32_t length = code_and_length & 0x3F;
        if (length == 0x3F) {
            tag.long_header = true;
            length = r.u32();
        }
        tag.body = r.bytes(length);
        if (!r.ok()) {
            if (warnings) {
                std::string_view name = tag_name(tag.code);
                warnings->push_back("tag " + (name.empty() ? std::to_string(tag.code) : std::string(name))
                                    + " at offset " + std::to_string(tag.offset)
                                    + " runs past the end of the data (length " + std::to_string(length) + ")");
            }
            break;
        }
        if (tag.code == static_cast<std::uint16_t>(TagCode::End))
            break;
        tags.push_back(tag);
    }
    return tags;
}

bool read_movie_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     const ParseLimits& limits)
{
    std::error_code ec;
    const std::filesystem::path file(path);
    if (std::filesystem::is_directory(file, ec)) {
        error = "is a folder, not a movie";
        return false;
    }
    const auto size = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) {
        error = "cannot be read";
        return false;
    }
    if (size > limits.max_file_length) {
        error = "is too large to be a movie";
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), 0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || std::size_t(in.gcount()) != bytes.size()) {
        bytes.clear();
        error = "cannot be read";
        return false;
    }
    return true;
}

} // namespace swf
