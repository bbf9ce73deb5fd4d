#include "swf/parser/reader.h"

#include <cstring>

namespace swf {

std::uint8_t Reader::u8()
{
    align();
    if (remaining() < 1) {
        fail();
        return 0;
    }
    return m_data[m_pos++];
}

std::uint16_t Reader::u16()
{
    align();
    if (remaining() < 2) {
        fail();
        return 0;
    }
    std::uint16_t v = m_data[m_pos] | (m_data[m_pos + 1] << 8);
    m_pos += 2;
    return v;
}

std::uint32_t Reader::u32()
{
    align();
    if (remaining() < 4) {
        fail();
        return 0;
    }
    std::uint32_t v = std::uint32_t(m_data[m_pos]) | (std::uint32_t(m_data[m_pos + 1]) << 8)
        | (std::uint32_t(m_data[m_pos + 2]) << 16) | (std::uint32_t(m_data[m_pos + 3]) << 24);
    m_pos += 4;
    return v;
}

float Reader::f32()
{
    std::uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double Reader::swf_double()
{
    std::uint64_t high = u32();
    std::uint64_t low = u32();
    std::uint64_t bits = (high << 32) | low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

Bytes Reader::bytes(std::size_t count)
{
    align();
    if (remaining() < count) {
        fail();
        return {};
    }
    Bytes view = m_data.subspan(m_pos, count);
    m_pos += count;
    return view;
}

std::string_view Reader::string()
{
    align();
    if (m_failed)
        return {};
    const std::uint8_t* begin = m_data.data() + m_pos;
    const void* end = std::memchr(begin, 0, m_data.size() - m_pos);
    if (!end) {
        fail();
        return {};
    }
    std::size_t length = static_cast<const std::uint8_t*>(end) - begin;
    m_pos += length + 1;
    return {reinterpret_cast<const char*>(begin), length};
}

std::uint32_t Reader::ub(unsigned bits)
{
    std::uint32_t value = 0;
    if (bits > 32) {
        fail();
        return 0;
    }
    while (bits > 0) {
        if (m_bitCount == 0) {
            if (remaining() < 1) {
                fail();
                return 0;
            }
            m_bitBuffer = m_data[m_pos++];
            m_bitCount = 8;
        }
        unsigned take = bits < m_bitCount ? bits : m_bitCount;
        unsigned shift = m_bitCount - take;
        std::uint32_t part = (m_bitBuffer >> shift) & ((1u << take) - 1);
        value = take == 32 ? part : (value << take) | part;
        m_bitCount -= take;
        bits -= take;
    }
    return value;
}

std::int32_t Reader::sb(unsigned bits)
{
    if (bits == 0)
        return 0;
    std::uint32_t raw = ub(bits);
    if (bits < 32 && (raw & (1u << (bits - 1))))
        raw |= ~0u << bits;
    return static_cast<std::int32_t>(raw);
}

} // namespace swf
