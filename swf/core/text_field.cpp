#include "swf/core/text_field.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "swf/core/player.h"

namespace swf {
namespace {

std::vector<std::uint32_t> utf8_decode(std::string_view s)
{
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && c < 0xC0)
            extra = -1;
        std::uint32_t code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        bool ok = extra >= 0 && i + extra < s.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; ok && k <= extra; ++k) {
            auto t = static_cast<unsigned char>(s[i + k]);
            ok = (t & 0xC0) == 0x80;
            code = (code << 6) | (t & 0x3F);
        }
        if (!ok || extra < 0) {
            out.push_back(c); // a stray byte stands for itself
            ++i;
            continue;
        }
        out.push_back(code);
        i += extra + 1;
    }
    return out;
}

void utf8_append(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool is_break(std::uint32_t c)
{
    return c == '\r' || c == '\n';
}

const FontCharacter* font_character(const TextField& field)
{
    const EditTextCharacter* edit = field.edit();
    if (!edit || !edit->def.font_id || !field.library())
        return nullptr;
    const Character* c = field.library()->find(*edit->def.font_id);
    return c && c->type == CharacterType::Font ? static_cast<const FontCharacter*>(c) : nullptr;
}

// The value of an HTML tag's attribute (`tag` is the text between < and >), quoted or not.
std::optional<std::string> attribute(const std::string& tag, std::string_view name)
{
    std::string lower = lower_ascii(tag);
    for (std::size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        std::size_t p = at + name.size();
        if (at == 0 || !std::isspace(static_cast<unsigned char>(lower[at - 1])))
            continue;
        while (p < lower.size() && lower[p] == ' ')
            ++p;
        if (p >= lower.size() || lower[p] != '=')
            continue;
        ++p;
        while (p < lower.size() && lower[p] == ' ')
            ++p;
        if (p < tag.size() && (tag[p] == '"' || tag[p] == '\'')) {
            std::size_t end = tag.find(tag[p], p + 1);
            return tag.substr(p + 1, end == std::string::npos ? std::string::npos : end - p - 1);
        }
        std::size_t end = tag.find_first_of(" \t\r\n", p);
        return tag.substr(p, end == std::string::npos ? std::string::npos : end - p);
    }
    return std::nullopt;
}

std::string escape_html(std::uint32_t c)
{
    switch (c) {
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '&': return "&amp;";
    case '"': return "&quot;";
    default: {
        std::string s;
        utf8_append(s, c);
        return s;
    }
    }
}

} // namespace

double TextMetrics::advance(std::uint32_t ch, double size, const FontStyle&) const
{
    if (ch == ' ')
        return size * 0.28;
    if (ch >= 0x2E80)
        return size; // ideographs are square
    if (ch == 'i' || ch == 'l' || ch == 'j' || ch == '.' || ch == ',' || ch == '\'' || ch == '!' || ch == '|')
        return size * 0.25;
    if (ch == 'm' || ch == 'w' || ch == 'M' || ch == 'W')
        return size * 0.8;
    if (ch >= 'A' && ch <= 'Z')
        return size * 0.65;
    return size * 0.52;
}

TextField::TextField(Player& player, const EditTextCharacter* edit, const Library* library, const Rect& field_bounds)
    : DisplayObject(player, Kind::Graphic, edit, library), bounds(field_bounds)
{
    if (!edit)
        return;
    const DefineEditText& d = edit->def;
    bounds = d.bounds;
    variable = std::string(d.variable_name);
    html = d.html;
    multiline = d.multiline;
    word_wrap = d.word_wrap;
    password = d.password;
    selectable = !d.no_select;
    border = d.border;
    background = d.border;
    read_only = d.read_only;
    embed_fonts = d.use_outlines;
    if (d.font_height)
        font_size = d.font_height;
    if (d.color)
        text_color = (std::uint32_t(d.color->r) << 16) | (std::uint32_t(d.color->g) << 8) | d.color->b;
    if (d.max_length)
        max_chars = *d.max_length;
    if (d.auto_size)
        auto_size = "left";
    if (d.initial_text) {
        if (html)
            set_html_text(*d.initial_text);
        else
            set_text(*d.initial_text);
    }
}

std::string TextField::text() const
{
    std::string out;
    for (const Char& c : m_chars)
        utf8_append(out, c.code);
    return out;
}

void TextField::set_text(std::string_view utf8)
{
    m_chars.clear();
    std::vector<std::uint32_t> codes = utf8_decode(utf8);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::uint32_t c = codes[i];
        if (c == '\r' && i + 1 < codes.size() && codes[i + 1] == '\n')
            ++i;
        m_chars.push_back({c == '\n' ? std::uint32_t('\r') : c, font_size});
    }
    set_format(0, m_chars.size(), new_text);
}

std::string TextField::html_text() const
{
    if (!html)
        return text();
    // Flash Player writes each paragraph in the field's format and nests what differs.
    auto face_of = [this](const Char& c) {
        std::string_view face = style(c).face;
        return std::string(face.empty() ? "Times New Roman" : face);
    };
    auto color_of = [this](const Char& c) { return c.color == kFieldColor ? text_color : c.color; };
    auto hex = [](std::uint32_t rgb) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
        return std::string(buf);
    };
    auto points = [](double twips) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", twips / 20);
        return std::string(buf);
    };
    static const char* const kAlign[] = {"LEFT", "RIGHT", "CENTER", "JUSTIFY"};
    const char* align = kAlign[edit() && edit()->def.align < 4 ? edit()->def.align : 0];
    std::string base_face = face_of(Char{0, font_size});
    std::string out;
    std::size_t i = 0;
    for (;;) {
        out += std::string("<P ALIGN=\"") + align + "\"><FONT FACE=\"" + base_face + "\" SIZE=\"" + points(font_size)
               + "\" COLOR=\"" + hex(text_color) + "\" LETTERSPACING=\"0\" KERNING=\"0\">";
        while (i < m_chars.size() && m_chars[i].code != '\r') {
            const Char& c = m_chars[i];
            std::size_t end = i;
            while (end < m_chars.size() && m_chars[end].code != '\r' && m_chars[end].size == c.size
                   && m_chars[end].color == c.color && m_chars[end].face == c.face && m_chars[end].bold == c.bold
                   && m_chars[end].italic == c.italic && m_chars[end].underline == c.underline)
                ++end;
            std::string attributes, open, close;
            if (face_of(c) != base_face)
                attributes += " FACE=\"" + face_of(c) + "\"";
            if (c.size != font_size)
                attributes += " SIZE=\"" + points(c.size) + "\"";
            if (color_of(c) != text_color)
                attributes += " COLOR=\"" + hex(color_of(c)) + "\"";
            if (!attributes.empty()) {
                open += "<FONT" + attributes + ">";
                close = "</FONT>" + close;
            }
            for (auto [on, tag] : {std::pair{c.bold, "B"}, std::pair{c.italic, "I"}, std::pair{c.underline, "U"}})
                if (on) {
                    open += std::string("<") + tag + ">";
                    close = std::string("</") + tag + ">" + close;
                }
            out += open;
            for (; i < end; ++i)
                out += escape_html(m_chars[i].code);
            out += close;
        }
        out += "</FONT></P>";
        if (i >= m_chars.size())
            break;
        ++i; // the paragraph break
    }
    return out;
}

void TextField::set_html_text(std::string_view html_source)
{
    m_chars.clear();
    m_faces.assign(1, std::string());
    std::vector<std::uint32_t> codes = utf8_decode(html_source);
    std::vector<Char> formats{Char{0, font_size}};
    bool paragraph_open = false;
    auto emit = [&](std::uint32_t c) {
        Char ch = formats.back();
        ch.code = c;
        m_chars.push_back(ch);
    };
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::uint32_t c = codes[i];
        if (c == '<') {
            std::size_t end = i;
            while (end < codes.size() && codes[end] != '>')
                ++end;
            std::string tag;
            for (std::size_t k = i + 1; k < end; ++k)
                utf8_append(tag, codes[k]);
            i = end;
            std::string lower = lower_ascii(tag);
            std::string tag_name = lower.substr(0, lower.find_first_of(" \t\r\n/", lower.empty() || lower[0] != '/' ? 0 : 1));
            if (tag_name == "br") {
                emit('\r');
            } else if (tag_name == "p" || tag_name == "li") {
                if (paragraph_open && !m_chars.empty())
                    emit('\r');
                paragraph_open = true;
            } else if (tag_name == "font" || tag_name == "b" || tag_name == "i" || tag_name == "u") {
                Char f = formats.back();
                f.bold |= tag_name == "b";
                f.italic |= tag_name == "i";
                f.underline |= tag_name == "u";
                if (auto size = attribute(tag, "size")) {
                    double v = std::atof(size->c_str());
                    if (v > 0)
                        f.size = v * 20;
                }
                if (auto color = attribute(tag, "color"); color && color->size() == 7 && (*color)[0] == '#')
                    f.color = std::uint32_t(std::strtoul(color->c_str() + 1, nullptr, 16)) & 0xFFFFFF;
                if (auto face = attribute(tag, "face"); face && !face->empty()) {
                    auto known = std::find(m_faces.begin(), m_faces.end(), *face);
                    if (known == m_faces.end() && m_faces.size() < 0xFFFF)
                        known = m_faces.insert(m_faces.end(), *face);
                    if (known != m_faces.end())
                        f.face = static_cast<std::uint16_t>(known - m_faces.begin());
                }
                if (formats.size() < 256)
                    formats.push_back(f);
            } else if (tag_name == "/font" || tag_name == "/b" || tag_name == "/i" || tag_name == "/u") {
                if (formats.size() > 1)
                    formats.pop_back();
            }
            continue;
        }
        if (c == '&') {
            std::size_t end = i;
            while (end < codes.size() && end < i + 10 && codes[end] != ';')
                ++end;
            std::string entity;
            for (std::size_t k = i + 1; k < end && k < codes.size(); ++k)
                utf8_append(entity, codes[k]);
            std::uint32_t decoded = 0;
            if (entity == "lt")
                decoded = '<';
            else if (entity == "gt")
                decoded = '>';
            else if (entity == "amp")
                decoded = '&';
            else if (entity == "quot")
                decoded = '"';
            else if (entity == "apos")
                decoded = '\'';
            else if (entity == "nbsp")
                decoded = 0xA0;
            if (decoded && end < codes.size()) {
                emit(decoded);
                i = end;
                continue;
            }
        }
        emit(c == '\n' ? std::uint32_t('\r') : c);
    }
}

std::size_t TextField::replace(std::size_t begin, std::size_t end, const std::vector<std::uint32_t>& codes)
{
    begin = std::min(begin, m_chars.size());
    end = std::clamp(end, begin, m_chars.size());
    Char format = begin > 0 ? m_chars[begin - 1] : !m_chars.empty() ? m_chars.front() : Char{0, font_size};
    m_chars.erase(m_chars.begin() + std::ptrdiff_t(begin), m_chars.begin() + std::ptrdiff_t(end));
    std::size_t at = begin;
    for (std::uint32_t code : codes) {
        if (max_chars > 0 && m_chars.size() >= std::size_t(max_chars))
            break;
        format.code = code == '\n' ? std::uint32_t('\r') : code;
        m_chars.insert(m_chars.begin() + std::ptrdiff_t(at++), format);
    }
    return at;
}

const FontCharacter* TextField::embedded_font() const
{
    const FontCharacter* font = embed_fonts ? font_character(*this) : nullptr;
    return font && font->def.layout && !font->def.glyphs.empty() ? font : nullptr;
}

TextField::RunFormat TextField::format(std::size_t begin, std::size_t end) const
{
    auto face_of = [this](const Char& c) {
        std::string_view face = style(c).face;
        return std::string(face.empty() ? "Times New Roman" : face);
    };
    auto color_of = [this](const Char& c) { return c.color == kFieldColor ? text_color : c.color; };
    end = std::min(end, m_chars.size());
    if (begin >= end) {
        Char plain{0, font_size};
        return {new_text.font.value_or(face_of(plain)), plain.size, text_color, new_text.bold.value_or(false),
                new_text.italic.value_or(false), new_text.underline.value_or(false)};
    }
    const Char& first = m_chars[begin];
    RunFormat f{face_of(first), first.size, color_of(first), first.bold, first.italic, first.underline};
    for (std::size_t i = begin + 1; i < end; ++i) {
        const Char& c = m_chars[i];
        if (f.font && face_of(c) != *f.font) f.font.reset();
        if (f.size && c.size != *f.size) f.size.reset();
        if (f.color && color_of(c) != *f.color) f.color.reset();
        if (f.bold && c.bold != *f.bold) f.bold.reset();
        if (f.italic && c.italic != *f.italic) f.italic.reset();
        if (f.underline && c.underline != *f.underline) f.underline.reset();
    }
    return f;
}

void TextField::set_format(std::size_t begin, std::size_t end, const RunFormat& f)
{
    std::uint16_t face = 0;
    if (f.font) {
        auto known = std::find(m_faces.begin(), m_faces.end(), *f.font);
        if (known == m_faces.end() && m_faces.size() < 0xFFFF)
            known = m_faces.insert(m_faces.end(), *f.font);
        face = known != m_faces.end() ? static_cast<std::uint16_t>(known - m_faces.begin()) : 0;
    }
    end = std::min(end, m_chars.size());
    for (std::size_t i = begin; i < end; ++i) {
        Char& c = m_chars[i];
        if (f.font) c.face = face;
        if (f.size) c.size = *f.size;
        if (f.color) c.color = *f.color & 0xFFFFFF;
        if (f.bold) c.bold = *f.bold;
        if (f.italic) c.italic = *f.italic;
        if (f.underline) c.underline = *f.underline;
    }
}

FontStyle TextField::style(const Char& c) const
{
    FontStyle s{c.face < m_faces.size() ? std::string_view(m_faces[c.face]) : std::string_view(), c.bold, c.italic};
    if (const FontCharacter* font = font_character(*this)) {
        if (s.face.empty())
            s.face = font->info ? font->info->name : font->def.name;
        s.bold |= font->info ? font->info->bold : font->def.bold;
        s.italic |= font->info ? font->info->italic : font->def.italic;
    }
    return s;
}

double TextField::advance(const Char& c) const
{
    if (const FontCharacter* font = embedded_font()) {
        const DefineFont& def = font->def;
        for (std::size_t g = 0; g < def.codes.size() && g < def.layout->advances.size(); ++g)
            if (def.codes[g] == c.code)
                return def.layout->advances[g] * c.size / 1024.0;
        return 0; // a character the font lacks is not drawn
    }
    return player().text_metrics().advance(c.code, c.size, style(c));
}

std::pair<double, double> TextField::extent(const Char& c) const
{
    // Ascent and descent in whole pixels, rounded up, as Flash Player lays out lines.
    double ascent, descent;
    if (const FontCharacter* font = embedded_font()) {
        const FontLayout& l = *font->def.layout;
        ascent = l.ascent * c.size / 1024.0;
        descent = l.descent * c.size / 1024.0;
    } else {
        const TextMetrics& m = player().text_metrics();
        FontStyle s = style(c);
        ascent = m.ascent(c.size, s);
        descent = m.descent(c.size, s);
    }
    return {std::ceil(ascent / 20) * 20, std::ceil(descent / 20) * 20};
}

std::vector<TextField::Line> TextField::layout() const
{
    std::vector<Line> lines;
    double margins = 0, indent = 0;
    if (edit() && edit()->def.has_layout) {
        margins = edit()->def.left_margin + edit()->def.right_margin;
        indent = edit()->def.indent;
    }
    Line line;
    std::size_t last_space = std::string::npos;
    double leading = edit() ? edit()->def.leading : 0;
    auto close = [&](std::size_t end) {
        line.end = end;
        line.width = 0;
        double ascent = 0, descent = 0;
        for (std::size_t k = line.begin; k < end; ++k) {
            auto [a, d] = extent(m_chars[k]);
            ascent = std::max(ascent, a);
            descent = std::max(descent, d);
            line.width += advance(m_chars[k]);
        }
        if (line.begin == end)
            std::tie(ascent, descent) = extent(end < m_chars.size() ? m_chars[end] : Char{'x', font_size});
        line.ascent = ascent;
        line.height = ascent + descent + leading;
        lines.push_back(line);
    };
    double width = 0;
    for (std::size_t i = 0; i < m_chars.size(); ++i) {
        const Char& c = m_chars[i];
        if (is_break(c.code) && multiline) {
            close(i);
            line = Line{i + 1};
            width = 0;
            last_space = std::string::npos;
            continue;
        }
        double w = advance(c);
        // A paragraph's first line is indented.
        bool first_line = line.begin == 0 || is_break(m_chars[line.begin - 1].code);
        double available = std::max(0.0, double(bounds.width()) - 2 * kGutter - margins - (first_line ? indent : 0));
        if (word_wrap && width + w > available && i > line.begin && c.code != ' ') {
            if (last_space != std::string::npos && last_space > line.begin) {
                close(last_space);
                line = Line{last_space + 1};
                width = 0;
                for (std::size_t k = line.begin; k < i; ++k)
                    width += advance(m_chars[k]);
            } else {
                close(i);
                line = Line{i};
                width = 0;
            }
            last_space = std::string::npos;
        }
        if (c.code == ' ')
            last_space = i;
        width += w;
    }
    close(m_chars.size());
    return lines;
}

int TextField::max_scroll() const
{
    std::vector<Line> lines = layout();
    double visible = double(bounds.height()) - 2 * kGutter;
    // The last page: as many lines from the end as fit.
    double used = 0;
    int fit = 0;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (fit > 0 && used + it->height > visible)
            break;
        used += it->height;
        ++fit;
    }
    return std::max(1, int(lines.size()) - fit + 1);
}

int TextField::scroll() const
{
    return std::clamp(m_scroll, 1, max_scroll());
}

void TextField::set_scroll(int line)
{
    m_scroll = std::clamp(line, 1, max_scroll());
}

int TextField::bottom_scroll() const
{
    std::vector<Line> lines = layout();
    double visible = double(bounds.height()) - 2 * kGutter;
    int first = scroll();
    double used = 0;
    int last = first;
    for (int i = first - 1; i < int(lines.size()); ++i) {
        if (i > first - 1 && used + lines[i].height > visible)
            break;
        used += lines[i].height;
        last = i + 1;
    }
    return last;
}

void TextField::set_hscroll(int pixels)
{
    m_hscroll = std::clamp(pixels, 0, max_hscroll());
}

int TextField::max_hscroll() const
{
    if (word_wrap)
        return 0;
    double widest = 0;
    for (const Line& l : layout())
        widest = std::max(widest, l.width);
    double visible = double(bounds.width()) - 2 * kGutter;
    return std::max(0, int(std::floor((widest - visible) / 20)));
}

double TextField::text_width() const
{
    double widest = 0;
    for (const Line& l : layout())
        widest = std::max(widest, l.width);
    return widest / 20;
}

double TextField::text_height() const
{
    double total = 0;
    for (const Line& l : layout())
        total += l.height;
    return total / 20;
}

bool TextField::hit_test(Point local) const
{
    return local.x >= bounds.x_min && local.x <= bounds.x_max && local.y >= bounds.y_min && local.y <= bounds.y_max;
}

} // namespace swf
