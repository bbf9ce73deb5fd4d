#include "swf/render/bitmap_decoder.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// Copies the marker segments of `data` into `out`, leaving out start and end markers; after
// the start of scan, the rest is the compressed image and is copied as it is. True when a
// scan was found.
bool copy_segments(Bytes data, std::vector<std::uint8_t>& out)
{
    std::size_t i = 0;
    while (i + 1 < data.size()) {
        if (data[i] != 0xFF) { // padding between segments
            ++i;
            continue;
        }
        std::uint8_t marker = data[i + 1];
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9) {
            i += 2;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + 2));
            i += 2;
            continue;
        }
        if (i + 4 > data.size())
            return false;
        std::size_t length = (std::size_t(data[i + 2]) << 8) | data[i + 3];
        if (length < 2 || i + 2 + length > data.size())
            return false;
        if (marker == 0xDA) {
            out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.end());
            return true;
        }
        out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + 2 + length));
        i += 2 + length;
    }
    return false;
}

QImage decode_jpeg(const DefineBitsJpeg& jpeg, Bytes tables, std::size_t max_pixels)
{
    std::vector<std::uint8_t> stream = joined_jpeg(jpeg.version == 1 ? tables : Bytes{}, jpeg.image);
    if (stream.empty())
        return {};
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(stream.data()), qsizetype(stream.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || std::size_t(size.width()) * std::size_t(size.height()) > max_pixels)
        return {};
    QImage image;
    if (!reader.read(&image) || image.size() != size)
        return {};
    if (jpeg.version != 3 || jpeg.alpha_zlib.empty())
        return image.convertToFormat(QImage::Format_RGB32);

    // The alpha plane: one byte per pixel, the colours not premultiplied.
    std::vector<std::uint8_t> alpha;
    std::size_t w = std::size_t(size.width()), h = std::size_t(size.height());
    if (!inflate_exact(jpeg.alpha_zlib, alpha, w * h))
        return {};
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (std::size_t y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(int(y)));
        for (std::size_t x = 0; x < w; ++x)
            row[x] = qRgba(qRed(row[x]), qGreen(row[x]), qBlue(row[x]), alpha[y * w + x]);
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decode_lossless(const DefineBitsLossless& bits, std::size_t max_pixels)
{
    DecodedBitmap decoded;
    if (!decode_lossless_pixels(bits, decoded, nullptr, max_pixels))
        return {};
    QImage image(decoded.width, decoded.height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    for (int y = 0; y < decoded.height; ++y)
        std::copy_n(decoded.pixels.data() + std::size_t(y) * decoded.width, decoded.width,
                    reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

std::uint8_t channel(double v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

} // namespace

std::vector<std::uint8_t> joined_jpeg(Bytes tables, Bytes image)
{
    std::vector<std::uint8_t> out{0xFF, 0xD8};
    if (!tables.empty() && copy_segments(tables, out)) // tables hold no scan
        return {};
    if (!copy_segments(image, out))
        return {};
    if (out.size() < 2 || out[out.size() - 2] != 0xFF || out.back() != 0xD9) {
        out.push_back(0xFF);
        out.push_back(0xD9);
    }
    return out;
}

QImage decode_bitmap(const BitmapCharacter& bitmap, std::size_t max_pixels)
{
    if (bitmap.jpeg)
        return decode_jpeg(*bitmap.jpeg, bitmap.jpeg_tables, max_pixels);
    if (bitmap.lossless)
        return decode_lossless(*bitmap.lossless, max_pixels);
    return {};
}

QImage color_transformed(const QImage& image, const ColorTransform& cx)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb p = row[x];
            row[x] = qRgba(channel(qRed(p) * cx.r_mult + cx.r_add), channel(qGreen(p) * cx.g_mult + cx.g_add),
                           channel(qBlue(p) * cx.b_mult + cx.b_add), channel(qAlpha(p) * cx.a_mult + cx.a_add));
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace swf
