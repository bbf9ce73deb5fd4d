#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "swf/parser/types.h"

namespace swf {

// Little-endian bytes and most-significant-first bit fields, the inverse of swf::Reader.
class BitWriter {
public:
    void u8(std::uint8_t v);
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void s16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void f32(float v);
    void swf_double(double v);
    void bytes(const std::vector<std::uint8_t>& data) { bytes(data.data(), data.size()); }
    void bytes(const std::uint8_t* data, std::size_t size);
    void string(std::string_view s); // with its terminating NUL

    void ub(unsigned bits, std::uint32_t value);
    void sb(unsigned bits, std::int32_t value);
    void flag(bool v) { ub(1, v ? 1 : 0); }
    void align(); // pads the current byte with zero bits

    void rgb(Rgba c);
    void rgba(Rgba c);
    void rect(const Rect& r);
    void matrix(const Matrix& m);
    void cxform(const ColorTransform& c, bool with_alpha);

    const std::vector<std::uint8_t>& data() const { return m_data; }
    std::vector<std::uint8_t> take();
    std::size_t size() const { return m_data.size(); }

    // Bits needed to store the value as a signed / unsigned field.
    static unsigned signed_bits(std::int32_t v);
    static unsigned unsigned_bits(std::uint32_t v);

private:
    std::vector<std::uint8_t> m_data;
    unsigned m_bitPos = 0; // bits used in the last byte; 0 = aligned
};

} // namespace swf
