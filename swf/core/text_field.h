#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/core/display_object.h"

namespace swf {

// The font a run of characters asks for.
struct FontStyle {
    std::string_view face; // a device font's name; empty: the player's default
    bool bold = false, italic = false;
};

// How wide characters are and how tall lines are. The core has no font engine: a field that
// draws with an embedded font measures with its layout table; any other uses these metrics,
// which a renderer may replace with real ones (Player::set_text_metrics).
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // Advance of `ch` at `size` twips, in twips.
    virtual double advance(std::uint32_t ch, double size, const FontStyle& style) const;
    // Ascent and descent at `size` twips, in twips.
    virtual double ascent(double size, const FontStyle&) const { return size * 0.9; }
    virtual double descent(double size, const FontStyle&) const { return size * 0.25; }
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

    static constexpr std::uint32_t kFieldColor = 0xFF000000; // a character drawn in text_color
    static constexpr double kGutter = 40;                      // twips between the bounds and the text

    // A character with its format (HTML text sets formats per run).
    struct Char {
        std::uint32_t code;
        double size;                       // twips
        std::uint32_t color = kFieldColor; // 0xRRGGBB
        bool bold = false, italic = false, underline = false;
        std::uint16_t face = 0;            // index into the field's face names; 0: the field's font
    };

    // Plain text: "\r" separates paragraphs ("\n" and "\r\n" become "\r").
    std::string text() const;
    void set_text(std::string_view utf8);
    std::string html_text() const;
    // Reads HTML (P, BR, FONT with SIZE, COLOR and FACE, B, I, U, A and entities); other tags
    // are dropped.
    void set_html_text(std::string_view html);
    const std::vector<Char>& chars() const { return m_chars; }

    // Typing into an input field: replaces chars [begin, end) with `codes` in the format of the
    // character before `begin` (or the field's), within max_chars; answers where the
    // insertion ends.
    std::size_t replace(std::size_t begin, std::size_t end, const std::vector<std::uint32_t>& codes);
    // Where the caret stands while the field has the keyboard focus (an index into chars()).
    std::optional<std::size_t> caret;

    // A run's format as scripts read and write it (TextFormat). From format(), an absent member
    // differs within the run; to set_format(), it stays as it is.
    struct RunFormat {
        std::optional<std::string> font;
        std::optional<double> size; // twips
        std::optional<std::uint32_t> color;
        std::optional<bool> bold, italic, underline;
    };
    // What set_text() gives the text besides the field's size and colour.
    RunFormat new_text;
    // The format of chars [begin, end); an empty range answers the format new text takes.
    RunFormat format(std::size_t begin, std::size_t end) const;
    void set_format(std::size_t begin, std::size_t end, const RunFormat& f);

    // The embedded font that draws the field (its glyphs and layout), or null for device fonts.
    const FontCharacter* embedded_font() const;
    // The font a character asks for: its HTML face or the field's font name, and the style.
    FontStyle style(const Char& c) const;

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

    // The text broken into lines as the field shows it (word wrap, paragraphs).
    struct Line {
        std::size_t begin = 0, end = 0; // into chars()
        double width = 0, height = 0;   // twips; height includes the leading
        double ascent = 0;              // twips, whole pixels
    };
    std::vector<Line> layout() const;
    double advance(const Char& c) const; // twips

private:
    // Ascent and descent of a character's font, twips rounded up to whole pixels.
    std::pair<double, double> extent(const Char& c) const;

    std::vector<Char> m_chars;
    std::vector<std::string> m_faces{std::string()};
    int m_scroll = 1;
    int m_hscroll = 0;
};

} // namespace swf
