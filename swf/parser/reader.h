#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace swf {

using Bytes = std::span<const std::uint8_t>;

// A bounded little-endian byte and bit reader over one tag or block. Reading past the end never
// touches memory outside the data: it sets the error flag and yields zeros from then on.
class Reader {
public:
    Reader() = default;
    explicit Reader(Bytes data) : m_data(data) {}

    bool ok() const { return !m_failed; }
    void fail() { m_failed = true; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_failed ? 0 : m_data.size() - m_pos; }
    bool at_end() const { return remaining() == 0; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
    float f32();
    // The action format's double: two little-endian 32-bit words, the high word first.
    double swf_double();
    double fixed8() { return s16() / 256.0; }
    double fixed16() { return s32() / 65536.0; }
    // The next `count` bytes, or an empty view (and the error flag) if fewer remain.
    Bytes bytes(std::size_t count);
    Bytes rest() { return bytes(remaining()); }
    void skip(std::size_t count) { bytes(count); }
    // A NUL-terminated string; without a terminator the data is damaged.
    std::string_view string();

    // Bit fields, most significant bit first. Byte reads align first.
    std::uint32_t ub(unsigned bits);
    std::int32_t sb(unsigned bits);
    double fb(unsigned bits) { return sb(bits) / 65536.0; }
    bool flag() { return ub(1) != 0; }
    void align() { m_bitCount = 0; }

    // A sub-reader over the next `count` bytes; this reader moves past them.
    Reader sub(std::size_t count) { return Reader(bytes(count)); }

private:
    Bytes m_data;
    std::size_t m_pos = 0;
    std::uint8_t m_bitBuffer = 0;
    unsigned m_bitCount = 0;
    bool m_failed = false;
};

} // namespace swf
