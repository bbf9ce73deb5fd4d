#include "swf/view/text_input.h"

#include <QKeyEvent>

#include <algorithm>
#include <vector>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/text_field.h"
#include "swf/render/text_field_painter.h"

namespace swf {
namespace {

// Every visible text field, in the order they are drawn (the last is on top).
void collect_fields(DisplayObject& object, std::vector<TextField*>& out, int nesting = 0)
{
    if (!object.visible || nesting > 256)
        return;
    if (TextField* field = object.as_text_field()) {
        out.push_back(field);
        return;
    }
    if (MovieClip* clip = object.as_clip())
        for (const auto& [depth, child] : clip->children())
            collect_fields(*child, out, nesting + 1);
}

std::vector<TextField*> fields(const Player& player)
{
    std::vector<TextField*> out;
    for (const auto& [number, level] : player.levels())
        collect_fields(*level, out);
    return out;
}

bool editable(const TextField& field)
{
    return !field.read_only;
}

Point local_point(const TextField& field, Point stage)
{
    bool invertible = false;
    Matrix inverse = field.global_matrix().inverted(&invertible);
    return invertible ? inverse.apply(stage) : Point{-1e12, -1e12};
}

// The topmost field under the point that `wanted` accepts.
template <typename Wanted>
TextField* field_at(const Player& player, Point stage, Wanted wanted)
{
    std::vector<TextField*> all = fields(player);
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (wanted(**it) && (*it)->hit_test(local_point(**it, stage)))
            return *it;
    return nullptr;
}

// The line that holds the caret (its index in the layout).
std::size_t line_of(const std::vector<TextField::Line>& lines, std::size_t caret)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (caret <= lines[i].end && (i + 1 == lines.size() || caret < lines[i + 1].begin))
            return i;
    return lines.empty() ? 0 : lines.size() - 1;
}

} // namespace

TextField* TextInput::focused(const Player& player) const
{
    DisplayObject* o = m_focus ? player.find(m_focus) : nullptr;
    TextField* field = o ? o->as_text_field() : nullptr;
    return field && player.on_stage(*field) && editable(*field) ? field : nullptr;
}

void TextInput::focus(Player& player, TextField* field, std::size_t caret)
{
    if (TextField* old = focused(player); old && old != field)
        old->caret.reset();
    m_focus = field ? field->id() : 0;
    if (field)
        field->caret = std::min(caret, field->chars().size());
}

void TextInput::clear(Player* player)
{
    if (TextField* old = player ? focused(*player) : nullptr)
        old->caret.reset();
    m_focus = 0;
}

void TextInput::click(Player& player, Point stage)
{
    TextField* field = field_at(player, stage, editable);
    focus(player, field, field ? text_index_at(*field, local_point(*field, stage)) : 0);
}

bool TextInput::next_field(Player& player, bool backwards)
{
    std::vector<TextField*> all = fields(player);
    std::erase_if(all, [](TextField* f) { return !editable(*f); });
    if (all.empty())
        return false;
    auto at = std::find(all.begin(), all.end(), focused(player));
    std::size_t i = at == all.end() ? (backwards ? all.size() - 1 : 0)
                                     : (std::size_t(at - all.begin()) + (backwards ? all.size() - 1 : 1)) % all.size();
    focus(player, all[i], all[i]->chars().size());
    return true;
}

void TextInput::show_caret(TextField& field)
{
    std::vector<TextField::Line> lines = field.layout();
    int line = int(line_of(lines, field.caret.value_or(0))) + 1;
    if (line < field.scroll())
        field.set_scroll(line);
    else if (line > field.bottom_scroll())
        field.set_scroll(field.scroll() + line - field.bottom_scroll());
}

bool TextInput::key(Player& player, const QKeyEvent& event)
{
    TextField* field = focused(player);
    if (!field)
        return false;
    std::size_t caret = std::min(field->caret.value_or(field->chars().size()), field->chars().size());
    std::size_t size = field->chars().size();
    std::vector<TextField::Line> lines;
    auto move_to = [&](std::size_t to) {
        field->caret = to;
        show_caret(*field);
        return true;
    };
    auto replace = [&](std::size_t begin, std::size_t end, std::vector<std::uint32_t> codes) {
        field->caret = field->replace(begin, end, codes);
        show_caret(*field);
        player.text_edited(*field);
        return true;
    };
    switch (event.key()) {
    case Qt::Key_Backspace: return caret > 0 ? replace(caret - 1, caret, {}) : true;
    case Qt::Key_Delete: return caret < size ? replace(caret, caret + 1, {}) : true;
    case Qt::Key_Left: return move_to(caret > 0 ? caret - 1 : 0);
    case Qt::Key_Right: return move_to(std::min(caret + 1, size));
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        lines = field->layout();
        if (lines.empty())
            return true;
        std::size_t i = line_of(lines, caret);
        if (event.key() == Qt::Key_Home)
            return move_to(lines[i].begin);
        if (event.key() == Qt::Key_End)
            return move_to(lines[i].end);
        std::size_t column = caret - lines[i].begin;
        std::size_t j = event.key() == Qt::Key_Up ? (i > 0 ? i - 1 : i) : std::min(i + 1, lines.size() - 1);
        if (j == i)
            return true;
        return move_to(std::min(lines[j].begin + column, lines[j].end));
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: return field->multiline ? replace(caret, caret, {'\r'}) : false;
    default: break;
    }
    return type(player, event.text());
}

bool TextInput::type(Player& player, const QString& text)
{
    TextField* field = focused(player);
    std::vector<std::uint32_t> codes;
    for (char32_t c : text.toUcs4())
        if (c >= 0x20 && c != 0x7F)
            codes.push_back(c);
    if (!field || codes.empty())
        return false;
    std::size_t caret = std::min(field->caret.value_or(field->chars().size()), field->chars().size());
    field->caret = field->replace(caret, caret, codes);
    show_caret(*field);
    player.text_edited(*field);
    return true;
}

bool TextInput::text_at(const Player& player, Point stage)
{
    return field_at(player, stage, [](const TextField& f) { return editable(f) || f.selectable; }) != nullptr;
}

} // namespace swf
