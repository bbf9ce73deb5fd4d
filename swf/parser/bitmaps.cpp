#include "swf/parser/bitmaps.h"

#include <zlib.h>

#include <algorithm>

#include "swf/parser/tag_codes.h"

namespace swf {

bool decode_define_bits_jpeg(const Tag& tag, DefineBitsJpeg& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    switch (static_cast<TagCode>(tag.code)) {
    case TagCode::DefineBits: out.version = 1; break;
    case TagCode::DefineBitsJPEG2: out.version = 2; break;
    case TagCode::DefineBitsJPEG3: {
        out.version = 3;
        std::uint32_t alpha_offset = r.u32();
        out.image = r.bytes(alpha_offset);
        out.alpha_zlib = r.rest();
        return r.ok();
    }
    default: return false;
    }
    out.image = r.rest();
    return r.ok();
}

bool decode_jpeg_tables(const Tag& tag, Bytes& tables)
{
    tables = tag.body;
    return tag.code == static_cast<std::uint16_t>(TagCode::JPEGTables);
}

bool decode_define_bits_lossless(const Tag& tag, DefineBitsLossless& out)
{
    if (tag.code == static_cast<std::uint16_t>(TagCode::DefineBitsLossless))
        out.version = 1;
    else if (tag.code == static_cast<std::uint16_t>(TagCode::DefineBitsLossless2))
        out.version = 2;
    else
        return false;
    Reader r(tag.body);
    out.id = r.u16();
    std::uint8_t format = r.u8();
    if (format != 3 && format != 4 && format != 5)
        return false;
    if (format == 4 && out.version == 2)
        return false;
    out.format = static_cast<DefineBitsLossless::Format>(format);
    out.width = r.u16();
    out.height = r.u16();
    if (format == 3)
        out.color_table_size = r.u8() + 1u;
    out.zlib_data = r.rest();
    return r.ok();
}

bool inflate_exact(Bytes input, std::vector<std::uint8_t>& out, std::size_t size)
{
    out.resize(size);
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(input.size(), UINT32_MAX));
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(size);
    int status = inflate(&z, Z_FINISH);
    std::size_t produced = size - z.avail_out;
    inflateEnd(&z);
    return produced == size && (status == Z_STREAM_END || status == Z_OK || status == Z_BUF_ERROR);
}

namespace {

std::uint32_t premultiply(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    auto mul = [a](std::uint8_t c) { return std::uint32_t((c * a + 127) / 255); };
    return (std::uint32_t(a) << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

// Stored premultiplied: a channel above alpha is damage, clamp it.
std::uint32_t stored_premultiplied(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (std::uint32_t(a) << 24) | (std::uint32_t(std::min(r, a)) << 16) | (std::uint32_t(std::min(g, a)) << 8)
        | std::min(b, a);
}

} // namespace

bool decode_lossless_pixels(const DefineBitsLossless& bits, DecodedBitmap& out, std::string* error,
                            std::size_t max_pixels)
{
    auto refuse = [error](const char* why) {
        if (error)
            *error = why;
        return false;
    };
    std::size_t w = bits.width, h = bits.height;
    if (w == 0 || h == 0)
        return refuse("empty bitmap");
    if (w * h > max_pixels)
        return refuse("bitmap too large");
    bool alpha = bits.version == 2;
    std::size_t table_bytes = 0, row_bytes = 0;
    switch (bits.format) {
    case DefineBitsLossless::ColorMapped8:
        table_bytes = bits.color_table_size * (alpha ? 4 : 3);
        row_bytes = (w + 3) & ~std::size_t(3);
        break;
    case DefineBitsLossless::Rgb15: row_bytes = (w * 2 + 3) & ~std::size_t(3); break;
    case DefineBitsLossless::Rgb24: row_bytes = w * 4; break;
    }
    std::size_t size = table_bytes + row_bytes * h;
    // Deflate cannot expand data more than about 1032 times: refuse claims beyond that.
    if (size / 1032 > bits.zlib_data.size() + 1)
        return refuse("bitmap dimensions larger than its data");
    std::vector<std::uint8_t> raw;
    if (!inflate_exact(bits.zlib_data, raw, size))
        return refuse("damaged bitmap data");

    out.width = bits.width;
    out.height = bits.height;
    out.pixels.assign(w * h, 0);
    const std::uint8_t* p = raw.data();
    if (bits.format == DefineBitsLossless::ColorMapped8) {
        std::vector<std::uint32_t> table(256, alpha ? 0u : 0xFF000000u);
        for (std::size_t i = 0; i < bits.color_table_size; ++i) {
            const std::uint8_t* c = p + i * (alpha ? 4 : 3);
            table[i] = alpha ? stored_premultiplied(c[3], c[0], c[1], c[2]) : premultiply(255, c[0], c[1], c[2]);
        }
        const std::uint8_t* rows = p + table_bytes;
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x)
                out.pixels[y * w + x] = table[rows[y * row_bytes + x]];
    } else if (bits.format == DefineBitsLossless::Rgb15) {
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t* c = p + y * row_bytes + x * 2;
                unsigned v = (c[0] << 8) | c[1];
                auto expand = [](unsigned five) { return std::uint8_t((five << 3) | (five >> 2)); };
                out.pixels[y * w + x] = premultiply(255, expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
            }
    } else {
        for (std::size_t i = 0; i < w * h; ++i) {
            const std::uint8_t* c = p + i * 4;
            out.pixels[i] = alpha ? stored_premultiplied(c[0], c[1], c[2], c[3]) : premultiply(255, c[1], c[2], c[3]);
        }
    }
    return true;
}

} // namespace swf
