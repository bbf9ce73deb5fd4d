#pragma once

#include <memory>
#include <string>
#include <vector>

#include "swf/core/display_object.h"

namespace swf {

// How wide characters are and how tall lines are. The core has no font engine: a field whose
// font is embedded with its layout table measures with it; any other uses these metrics,
// which a renderer may replace with real ones (Player::set_text_metrics).
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // Advance of `ch` at `size` twips, in twips.
    virtual double advance(std::uint32_t ch, double size) const;
    // Ascent and descent at `size` twips, in twips.
    virtual double ascent(double size) const { return size * 0.9; }
    virtual double descent(double size) const { return size * 0.25; }
};

// A dynamic or input text field: DefineEditText placed on a timeline, or createTextField.
// It keeps its text as plain characters with a size each (HTML text sets sizes per run) and
// lays it out into lines for the scroll properties.
class TextField : public DisplayObject {
public:
    // `edit` is null for a field a script created; `bounds` is in twips.
    TextField(Player& player, const EditTextCharacter* edit, const Library* library, const Rect& bounds);

    TextField* as_text_field() override { return this; }
    const EditTextCharacter* edit() const { return static_cast<const EditTextCharacter*>(character()); }

    struct Char {
        std::uint32_t code;
        double size; // twips
    };

    // Plain text: "\r" separates paragraphs ("\n" and "\r\n" become "\r").
    std::string text() const;
    void set_text(std::string_view utf8);
    std::string html_text() const;
    // Reads HTML (P, BR, FONT SIZE, B, I, U, A and entities); other tags are dropped.
    void set_html_text(std::string_view html);
    const std::vector<Char>& chars() const { return m_chars; }

    std::string variable;  // the bound variable's path, empty if none
    bool html = false, multiline = false, word_wrap = false, password = false, selectable = true;
    bool border = false, background = false, read_only = true, embed_fonts = false;
    std::string auto_size = "none";
    std::uint32_t text_color = 0, border_color = 0, background_color = 0xFFFFFF;
    double font_size = 240; // twips
    int max_chars = 0;
    Rect bounds;            // twips, in the field's own space

    // Scroll positions are 1-based lines (scroll) and pixels (hscroll), kept in range.
    int scroll() const;
    void set_scroll(int line);
    int max_scroll() const;
    int bottom_scroll() const;
    int hscroll() const { return std::min(m_hscroll, max_hscroll()); }
    void set_hscroll(int pixels);
    int max_hscroll() const;
    double text_width() const;  // pixels
    double text_height() const; // pixels

    Rect local_bounds() const override { return bounds; }
    bool hit_test(Point local) const override;

private:
    struct Line {
        std::size_t begin = 0, end = 0; // into m_chars
        double width = 0, height = 0;   // twips
    };
    std::vector<Line> layout() const;
    double advance(const Char& c) const;
    // Ascent and descent of a line of characters of this size, twips.
    std::pair<double, double> extent(double size) const;

    std::vector<Char> m_chars;
    int m_scroll = 1;
    int m_hscroll = 0;
};

} // namespace swf
