#include "swf/render/device_fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>

namespace swf {
namespace {

enum class Generic { Sans, Serif, Mono, Chinese };

// Installed families for each kind, best first; families that are missing are skipped.
const QStringList& families(Generic kind)
{
    static const auto pick = [](std::initializer_list<const char*> names) {
        QStringList out;
        for (const char* name : names)
            if (QFontDatabase::hasFamily(QString::fromLatin1(name)))
                out << QString::fromLatin1(name);
        // Chinese text in any font: the CJK family comes last, for the characters the
        // others lack.
        for (const char* cjk : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"})
            if (QFontDatabase::hasFamily(QString::fromLatin1(cjk)) && !out.contains(QString::fromLatin1(cjk)))
                out << QString::fromLatin1(cjk);
        return out;
    };
    static const QStringList sans = pick({"Arial", "Liberation Sans", "DejaVu Sans"});
    static const QStringList serif = pick({"Times New Roman", "Liberation Serif", "DejaVu Serif"});
    static const QStringList mono = pick({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    static const QStringList chinese = pick({"WenQuanYi Micro Hei", "Noto Sans CJK SC", "DejaVu Sans"});
    switch (kind) {
    case Generic::Serif: return serif;
    case Generic::Mono: return mono;
    case Generic::Chinese: return chinese;
    case Generic::Sans: break;
    }
    return sans;
}

QStringList families_for(std::string_view face)
{
    QString name = QString::fromUtf8(face.data(), qsizetype(face.size())).trimmed();
    QString lower = name.toLower();
    static const std::pair<const char*, Generic> known[] = {
        {"_sans", Generic::Sans}, {"_serif", Generic::Serif}, {"_typewriter", Generic::Mono},
        {"arial", Generic::Sans}, {"helvetica", Generic::Sans}, {"verdana", Generic::Sans},
        {"tahoma", Generic::Sans}, {"times new roman", Generic::Serif}, {"times", Generic::Serif},
        {"georgia", Generic::Serif}, {"courier new", Generic::Mono}, {"courier", Generic::Mono},
        {"simsun", Generic::Chinese}, {"nsimsun", Generic::Chinese}, {"simhei", Generic::Chinese},
        {"microsoft yahei", Generic::Chinese}, {"kaiti", Generic::Chinese}, {"fangsong", Generic::Chinese},
        {"mingliu", Generic::Chinese}, {"pmingliu", Generic::Chinese},
    };
    for (const auto& [n, kind] : known)
        if (lower == QLatin1String(n))
            return families(kind);
    // Chinese font names (宋体, 黑体, 楷体_GB2312, ...) are written in Chinese.
    for (QChar c : name)
        if (c.unicode() >= 0x2E80)
            return families(Generic::Chinese);
    // Flash draws text with no font named in a serif face.
    if (name.isEmpty())
        return families(Generic::Serif);
    QStringList out = families(Generic::Sans);
    if (QFontDatabase::hasFamily(name))
        out.prepend(name);
    return out;
}

} // namespace

QFont device_font(const FontStyle& style, double size)
{
    QFont font;
    font.setFamilies(families_for(style.face));
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

class DeviceTextMetrics : public TextMetrics {
public:
    double advance(std::uint32_t ch, double size, const FontStyle& style) const override
    {
        Entry& e = entry(size, style);
        auto it = e.advances.find(ch);
        if (it != e.advances.end())
            return it->second;
        char32_t code = ch;
        double a = e.metrics.horizontalAdvance(QString::fromUcs4(&code, 1));
        e.advances.emplace(ch, a);
        return a;
    }
    double ascent(double size, const FontStyle& style) const override { return entry(size, style).metrics.ascent(); }
    double descent(double size, const FontStyle& style) const override { return entry(size, style).metrics.descent(); }

private:
    struct Entry {
        QFontMetricsF metrics;
        std::unordered_map<std::uint32_t, double> advances;
    };
    using Key = std::tuple<std::string, bool, bool, long>;

    Entry& entry(double size, const FontStyle& style) const
    {
        Key key{std::string(style.face), style.bold, style.italic, std::lround(size)};
        auto it = m_entries.find(key);
        if (it == m_entries.end()) {
            if (m_entries.size() > 256)
                m_entries.clear();
            it = m_entries.emplace(key, Entry{QFontMetricsF(device_font(style, size)), {}}).first;
        }
        return it->second;
    }

    mutable std::map<Key, Entry> m_entries;
};

} // namespace

std::shared_ptr<const TextMetrics> device_text_metrics()
{
    return std::make_shared<DeviceTextMetrics>();
}

} // namespace swf
