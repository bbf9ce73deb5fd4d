#include "swf/writer/bit_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace swf {

void BitWriter::u8(std::uint8_t v)
{
    align();
    m_data.push_back(v);
}

void BitWriter::u16(std::uint16_t v)
{
    u8(v & 0xFF);
    u8(v >> 8);
}

void BitWriter::u32(std::uint32_t v)
{
    u16(v & 0xFFFF);
    u16(v >> 16);
}

void BitWriter::f32(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void BitWriter::swf_double(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(static_cast<std::uint32_t>(bits >> 32));
    u32(static_cast<std::uint32_t>(bits));
}

void BitWriter::bytes(const std::uint8_t* data, std::size_t size)
{
    align();
    m_data.insert(m_data.end(), data, data + size);
}

void BitWriter::string(std::string_view s)
{
    align();
    m_data.insert(m_data.end(), s.begin(), s.end());
    m_data.push_back(0);
}

void BitWriter::ub(unsigned bits, std::uint32_t value)
{
    for (unsigned i = bits; i > 0; --i) {
        if (m_bitPos == 0)
            m_data.push_back(0);
        if ((value >> (i - 1)) & 1)
            m_data.back() |= std::uint8_t(0x80 >> m_bitPos);
        m_bitPos = (m_bitPos + 1) % 8;
    }
}

void BitWriter::sb(unsigned bits, std::int32_t value)
{
    ub(bits, static_cast<std::uint32_t>(value) & (bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1)));
}

void BitWriter::align()
{
    m_bitPos = 0;
}

void BitWriter::rgb(Rgba c)
{
    u8(c.r);
    u8(c.g);
    u8(c.b);
}

void BitWriter::rgba(Rgba c)
{
    rgb(c);
    u8(c.a);
}

unsigned BitWriter::signed_bits(std::int32_t v)
{
    std::uint32_t magnitude = v < 0 ? ~static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    return unsigned_bits(magnitude) + 1;
}

unsigned BitWriter::unsigned_bits(std::uint32_t v)
{
    unsigned n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

void BitWriter::rect(const Rect& r)
{
    unsigned bits = std::max({signed_bits(r.x_min), signed_bits(r.x_max), signed_bits(r.y_min), signed_bits(r.y_max)});
    ub(5, bits);
    sb(bits, r.x_min);
    sb(bits, r.x_max);
    sb(bits, r.y_min);
    sb(bits, r.y_max);
    align();
}

static std::int32_t fixed16(double v)
{
    return static_cast<std::int32_t>(std::lround(v * 65536.0));
}

void BitWriter::matrix(const Matrix& m)
{
    bool scale = m.a != 1 || m.d != 1;
    flag(scale);
    if (scale) {
        std::int32_t a = fixed16(m.a), d = fixed16(m.d);
        unsigned bits = std::max(signed_bits(a), signed_bits(d));
        ub(5, bits);
        sb(bits, a);
        sb(bits, d);
    }
    bool rotate = m.b != 0 || m.c != 0;
    flag(rotate);
    if (rotate) {
        std::int32_t b = fixed16(m.b), c = fixed16(m.c);
        unsigned bits = std::max(signed_bits(b), signed_bits(c));
        ub(5, bits);
        sb(bits, b);
        sb(bits, c);
    }
    std::int32_t tx = static_cast<std::int32_t>(std::lround(m.tx)), ty = static_cast<std::int32_t>(std::lround(m.ty));
    unsigned bits = (tx == 0 && ty == 0) ? 0 : std::max(signed_bits(tx), signed_bits(ty));
    ub(5, bits);
    sb(bits, tx);
    sb(bits, ty);
    align();
}

void BitWriter::cxform(const ColorTransform& c, bool with_alpha)
{
    auto mult = [](double v) { return static_cast<std::int32_t>(std::lround(v * 256.0)); };
    auto add = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    std::int32_t m[4] = {mult(c.r_mult), mult(c.g_mult), mult(c.b_mult), mult(c.a_mult)};
    std::int32_t a[4] = {add(c.r_add), add(c.g_add), add(c.b_add), add(c.a_add)};
    unsigned channels = with_alpha ? 4 : 3;
    bool has_mult = false, has_add = false;
    unsigned bits = 1;
    for (unsigned i = 0; i < channels; ++i) {
        has_mult |= m[i] != 256;
        has_add |= a[i] != 0;
    }
    for (unsigned i = 0; i < channels; ++i) {
        if (has_mult)
            bits = std::max(bits, signed_bits(m[i]));
        if (has_add)
            bits = std::max(bits, signed_bits(a[i]));
    }
    flag(has_add);
    flag(has_mult);
    ub(4, bits);
    if (has_mult)
        for (unsigned i = 0; i < channels; ++i)
            sb(bits, m[i]);
    if (has_add)
        for (unsigned i = 0; i < channels; ++i)
            sb(bits, a[i]);
    align();
}

std::vector<std::uint8_t> BitWriter::take()
{
    align();
    std::vector<std::uint8_t> out;
    out.swap(m_data);
    return out;
}

} // namespace swf
