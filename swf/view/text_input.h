#pragma once

#include <QString>

#include <cstdint>

#include "swf/core/player.h"

class QKeyEvent;

namespace swf {

// The keyboard focus of a movie's input text fields: a click on an input field gives it the
// focus with the caret where the click was, Tab moves it to the next input field, and keys
// edit the focused field's text (the player hears of each change, so bound variables follow).
class TextInput {
public:
    // Focus follows a click at a stage point: the input field there, or none.
    void click(Player& player, Point stage);
    // Edits the focused field; false when the key is not one for it.
    bool key(Player& player, const QKeyEvent& event);
    // Text composed by an input method (Chinese, for instance) goes in at the caret.
    bool type(Player& player, const QString& text);
    // Moves the focus to the next (or previous) input field in display order; false if the
    // movie has none.
    bool next_field(Player& player, bool backwards);
    // The focus goes; the field's caret disappears.
    void clear(Player* player);
    bool has_focus(const Player& player) const { return focused(player) != nullptr; }

    // Whether a text field that takes the text cursor (input or selectable) is under the point.
    static bool text_at(const Player& player, Point stage);

private:
    TextField* focused(const Player& player) const;
    void focus(Player& player, TextField* field, std::size_t caret);
    // Scrolls the field so that the caret's line shows.
    static void show_caret(TextField& field);

    std::uint64_t m_focus = 0;
};

} // namespace swf
