#include "swf/audio/mp3_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

namespace swf::audio {

Mp3Decoder::Mp3Decoder()
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    int error = MPG123_OK;
    m_handle = mpg123_new(nullptr, &error);
    if (!m_handle)
        return;
    // Quiet on damaged data; no gapless trimming: the movie's own sample counts say what to keep.
    mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_param(m_handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_format_none(m_handle);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(m_handle) != MPG123_OK) {
        mpg123_delete(m_handle);
        m_handle = nullptr;
    }
}

Mp3Decoder::~Mp3Decoder()
{
    if (m_handle)
        mpg123_delete(m_handle);
}

bool Mp3Decoder::decode(Bytes data, PcmSound& out, std::size_t max_frames)
{
    if (!m_handle)
        return false;
    if (!data.empty() && mpg123_feed(m_handle, data.data(), data.size()) != MPG123_OK)
        return false;
    if (m_channels && out.samples.empty()) {
        out.rate = static_cast<std::uint32_t>(m_rate);
        out.channels = m_channels;
    }
    std::int16_t buffer[4608];
    std::size_t added = 0;
    // Each read consumes input or gives samples; a few empty answers in a row end the loop
    // whatever the library does with damaged data.
    for (int idle = 0; idle < 8 && added < max_frames;) {
        std::size_t bytes = 0;
        int r = mpg123_read(m_handle, reinterpret_cast<unsigned char*>(buffer), sizeof buffer, &bytes);
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(m_handle, &rate, &channels, &encoding);
            if (m_channels && channels != m_channels)
                return false;
            m_rate = rate;
            m_channels = channels;
            if (out.samples.empty()) {
                out.rate = static_cast<std::uint32_t>(rate);
                out.channels = channels;
            }
            if (out.channels != channels)
                return false;
            continue;
        }
        if (bytes > 0 && m_channels > 0) {
            std::size_t frames = std::min(bytes / sizeof(std::int16_t) / std::size_t(m_channels), max_frames - added);
            out.samples.insert(out.samples.end(), buffer, buffer + frames * std::size_t(m_channels));
            added += frames;
            idle = 0;
        } else {
            ++idle;
        }
        if (r != MPG123_OK)
            break;
    }
    return true;
}

} // namespace swf::audio
