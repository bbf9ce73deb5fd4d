#include "score.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>
#include <utility>

namespace music {
namespace {

constexpr int kMajorScale[] = {0, 2, 4, 5, 7, 9, 11}; // semitones of degrees 1..7
constexpr int kMaxMacroDepth = 16;
constexpr int kMaxTicks = 1 << 28; // MIDI delta times have 28 bits

struct DrumName {
    std::string_view name;
    int key;
};

// The General MIDI percussion the scores use, by short name.
constexpr DrumName kDrums[] = {
    {"wh", 76},   // high wood block
    {"wl", 77},   // low wood block
    {"tri", 81},  // open triangle
    {"trim", 80}, // muted triangle
    {"bell", 53}, // ride bell
    {"clave", 75},
    {"shaker", 82},
    {"cabasa", 69},
    {"tamb", 54}, // tambourine
    {"tom", 45},  // low tom
    {"ftom", 41}, // low floor tom
    {"mtom", 47}, // low-mid tom
    {"splash", 55},
    {"chime", 84}, // bell tree
    {"kick", 35},  // acoustic bass drum
};

bool isSuffix(char c)
{
    return c == '_' || c == '.' || c == '!' || c == '?' || c == '~';
}

// Splits a line of notes into tokens: whitespace separates, "|", "<" and "[" stand alone, and
// ">" and "]" take the length and articulation marks that follow them.
std::vector<std::string> tokenize(std::string_view text)
{
    std::vector<std::string> tokens;
    std::string current;
    const auto flush = [&] {
        if (!current.empty())
            tokens.push_back(std::move(current));
        current.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            flush();
        } else if (c == '|' || c == '<' || c == '[') {
            flush();
            tokens.emplace_back(1, c);
        } else if (c == '>' || c == ']') {
            flush();
            current = std::string(1, c);
            while (i + 1 < text.size() && isSuffix(text[i + 1]))
                current += text[++i];
            flush();
        } else {
            current += c;
        }
    }
    flush();
    return tokens;
}

int toInt(int line, std::string_view text, int low, int high, std::string_view what)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw ScoreError(line, std::string(what) + " must be a whole number from " + std::to_string(low) + " to "
                                   + std::to_string(high) + ", not \"" + std::string(text) + "\"");
    }
    return value;
}

// "D4", "F#3", "Bb2": the MIDI key of a pitch name, C4 being 60.
int pitchKey(int line, std::string_view text)
{
    static constexpr std::string_view letters = "CDEFGAB";
    const auto letter = text.empty() ? std::string_view::npos : letters.find(text[0]);
    if (letter == std::string_view::npos)
        throw ScoreError(line, "a key is a pitch name such as D4 or Bb3, not \"" + std::string(text) + "\"");
    int semitone = kMajorScale[letter];
    std::size_t pos = 1;
    if (pos < text.size() && (text[pos] == '#' || text[pos] == 'b'))
        semitone += text[pos++] == '#' ? 1 : -1;
    const int octave = toInt(line, text.substr(pos), 0, 8, "the key's octave");
    return (octave + 1) * 12 + semitone;
}

// Length and articulation marks after a note, a rest or a chord.
struct Marks {
    int length = kTicksPerBeat;
    int velocityChange = 0;
    bool slide = false;
};

Marks readMarks(int line, std::string_view token, std::string_view marks)
{
    int halvings = 0;
    bool dotted = false;
    Marks result;
    for (const char c : marks) {
        switch (c) {
        case '_': ++halvings; break;
        case '.': dotted = true; break;
        case '!': result.velocityChange = 14; break;
        case '?': result.velocityChange = -18; break;
        case '~': result.slide = true; break;
        default: throw ScoreError(line, "unknown mark '" + std::string(1, c) + "' in \"" + std::string(token) + "\"");
        }
    }
    if (halvings > 3)
        throw ScoreError(line, "notes shorter than a sixteenth are not used: \"" + std::string(token) + "\"");
    result.length = (kTicksPerBeat >> halvings) * (dotted ? 3 : 2) / 2;
    return result;
}

class Parser {
public:
    Piece parse(std::string_view text)
    {
        std::istringstream lines{std::string(text)};
        std::string raw;
        while (std::getline(lines, raw)) {
            ++m_line;
            std::string_view content = raw;
            content = content.substr(0, content.find("//"));
            const auto words = tokenize(content);
            if (words.empty())
                continue;
            const std::string& word = words.front();
            if (word == "title" || word == "tempo" || word == "meter" || word == "key") {
                if (m_part)
                    throw ScoreError(m_line, "\"" + word + "\" belongs before the first part");
                header(words, content);
            } else if (word == "define") {
                if (words.size() < 3)
                    throw ScoreError(m_line, "define needs a name and notes");
                m_macros[words[1]] = {words.begin() + 2, words.end()};
            } else if (word == "part") {
                startPart(words);
            } else if (m_part) {
                for (const std::string& token : words)
                    play(token, 0, {});
            } else {
                throw ScoreError(m_line, "notes before the first part: \"" + word + "\"");
            }
        }
        finish();
        return std::move(m_piece);
    }

private:
    void header(const std::vector<std::string>& words, std::string_view content)
    {
        const std::string& word = words.front();
        if (word == "title") {
            const auto start = content.find("title") + 5;
            const auto first = content.find_first_not_of(" \t", start);
            m_piece.title = first == std::string_view::npos ? "" : std::string(content.substr(first));
            while (!m_piece.title.empty() && (m_piece.title.back() == ' ' || m_piece.title.back() == '\r'))
                m_piece.title.pop_back();
            return;
        }
        if (words.size() != 2)
            throw ScoreError(m_line, "\"" + word + "\" takes one value");
        if (word == "tempo")
            m_piece.tempo = toInt(m_line, words[1], 20, 240, "tempo");
        else if (word == "meter")
            m_piece.beatsPerBar = toInt(m_line, words[1], 1, 12, "beats per bar");
        else
            m_keyOfDegreeOne = pitchKey(m_line, words[1]);
    }

    void startPart(const std::vector<std::string>& words)
    {
        if (words.size() < 2)
            throw ScoreError(m_line, "part needs a name");
        endPart();
        m_piece.parts.emplace_back();
        m_part = &m_piece.parts.back();
        m_part->name = words[1];
        m_position = 0;
        m_octave = 0;
        m_velocity = 80;
        m_lastEvent = -1;
        m_noteCount = 0;
        for (std::size_t i = 2; i < words.size(); ++i) {
            const std::string& attribute = words[i];
            if (attribute == "drums" || attribute == "sustain") {
                (attribute == "drums" ? m_part->drums : m_part->sustain) = true;
                continue;
            }
            const auto equals = attribute.find('=');
            if (equals == std::string::npos)
                throw ScoreError(m_line, "part settings are name=value, not \"" + attribute + "\"");
            const std::string name = attribute.substr(0, equals);
            const std::string_view value = std::string_view(attribute).substr(equals + 1);
            if (name == "program")
                m_part->program = toInt(m_line, value, 1, 128, name);
            else if (name == "volume")
                m_part->volume = toInt(m_line, value, 0, 127, name);
            else if (name == "pan")
                m_part->pan = toInt(m_line, value, -64, 63, name);
            else if (name == "reverb")
                m_part->reverb = toInt(m_line, value, 0, 127, name);
            else if (name == "chorus")
                m_part->chorus = toInt(m_line, value, 0, 127, name);
            else if (name == "vibrato")
                m_part->vibrato = toInt(m_line, value, 0, 127, name);
            else if (name == "gate")
                m_part->gate = toInt(m_line, value, 1, 100, name);
            else if (name == "velocity")
                m_velocity = toInt(m_line, value, 1, 127, name);
            else if (name == "octave")
                m_octave = toInt(m_line, value, -4, 4, name);
            else
                throw ScoreError(m_line, "unknown part setting \"" + name + "\"");
        }
    }

    // `groupMarks` are the marks of an enclosing [ ... ] group, added to every note in it.
    void play(const std::string& token, int depth, const std::string& groupMarks)
    {
        if (m_group) {
            if (token == "[")
                throw ScoreError(m_line, "\"[\" inside a group");
            if (token.front() == ']') {
                m_group = false;
                const std::string marks = token.substr(1);
                for (const std::string& inner : std::exchange(m_groupTokens, {}))
                    play(inner, depth, marks);
            } else {
                m_groupTokens.push_back(token);
            }
            return;
        }
        if (token == "[") {
            if (!groupMarks.empty())
                throw ScoreError(m_line, "\"[\" inside a group");
            m_group = true;
        } else if (token.front() == ']') {
            throw ScoreError(m_line, "\"]\" without \"[\" before it");
        } else if (token == "|") {
            if (m_position % barTicks() != 0)
                throw ScoreError(m_line, "bar line " + where() + " is not at the end of a bar");
        } else if (token == "-") {
            if (m_lastEvent < 0)
                throw ScoreError(m_line, "\"-\" has no note before it to hold");
            for (auto i = std::size_t(m_lastEvent); i < m_part->notes.size(); ++i)
                m_part->notes[i].length += kTicksPerBeat;
            advance(kTicksPerBeat);
        } else if (token == "<") {
            if (m_inChord)
                throw ScoreError(m_line, "\"<\" inside a chord");
            m_inChord = true;
            m_chordKeys.clear();
        } else if (token.front() == '>') {
            if (!m_inChord || m_chordKeys.empty())
                throw ScoreError(m_line, "\">\" without a chord before it");
            m_inChord = false;
            addEvent(m_chordKeys, readMarks(m_line, token, token.substr(1) + groupMarks));
        } else if (token.front() == '$') {
            expand(token, depth, groupMarks);
        } else if (m_part->drums) {
            drum(m_inChord ? token : token + groupMarks);
        } else {
            note(m_inChord ? token : token + groupMarks);
        }
    }

    void expand(const std::string& token, int depth, const std::string& groupMarks)
    {
        const auto star = token.find('*');
        const std::string name = token.substr(1, star == std::string::npos ? std::string::npos : star - 1);
        const int times = star == std::string::npos ? 1 : toInt(m_line, std::string_view(token).substr(star + 1), 1, 64, "a repeat");
        const auto macro = m_macros.find(name);
        if (macro == m_macros.end())
            throw ScoreError(m_line, "\"" + name + "\" is not defined");
        if (depth >= kMaxMacroDepth)
            throw ScoreError(m_line, "\"" + name + "\" uses itself");
        for (int i = 0; i < times; ++i) {
            for (const std::string& inner : macro->second)
                play(inner, depth + 1, groupMarks);
        }
    }

    void note(const std::string& token)
    {
        std::size_t pos = 0;
        int accidental = 0;
        if (token[pos] == '#' || token[pos] == 'b')
            accidental = token[pos++] == '#' ? 1 : -1;
        if (pos >= token.size() || token[pos] < '0' || token[pos] > '7')
            throw ScoreError(m_line, "\"" + token + "\" is not a note (0 to 7 with marks)");
        const int degree = token[pos++] - '0';
        int octave = 0;
        while (pos < token.size() && (token[pos] == '\'' || token[pos] == ','))
            octave += token[pos++] == '\'' ? 1 : -1;
        const std::string_view marks = std::string_view(token).substr(pos);
        if (degree == 0) {
            if (accidental != 0 || octave != 0)
                throw ScoreError(m_line, "a rest has no pitch: \"" + token + "\"");
            rest(token, marks);
            return;
        }
        const int key = m_keyOfDegreeOne + kMajorScale[degree - 1] + accidental + 12 * (octave + m_octave);
        if (key < 0 || key > 127)
            throw ScoreError(m_line, "\"" + token + "\" is outside the MIDI range");
        addNote(token, key, marks);
    }

    void drum(const std::string& token)
    {
        const auto end = std::find_if(token.begin(), token.end(), isSuffix);
        const std::string name(token.begin(), end);
        const std::string_view marks = std::string_view(token).substr(name.size());
        if (name == "0") {
            rest(token, marks);
            return;
        }
        const auto drum = std::find_if(std::begin(kDrums), std::end(kDrums), [&](const DrumName& d) { return d.name == name; });
        if (drum == std::end(kDrums))
            throw ScoreError(m_line, "\"" + name + "\" is not a percussion name");
        addNote(token, drum->key, marks);
    }

    void addNote(const std::string& token, int key, std::string_view marks)
    {
        if (m_inChord) {
            if (!marks.empty())
                throw ScoreError(m_line, "marks of a chord go after its \">\": \"" + token + "\"");
            m_chordKeys.push_back(key);
            return;
        }
        addEvent({key}, readMarks(m_line, token, marks));
    }

    void rest(const std::string& token, std::string_view marks)
    {
        if (m_inChord)
            throw ScoreError(m_line, "a rest inside a chord");
        const Marks m = readMarks(m_line, token, marks);
        m_lastEvent = int(m_part->notes.size()); // "-" after a rest holds nothing
        advance(m.length);
    }

    void addEvent(const std::vector<int>& keys, const Marks& marks)
    {
        m_lastEvent = int(m_part->notes.size());
        const int velocity = std::clamp(m_velocity + metricAccent() + marks.velocityChange + jitter(), 1, 127);
        for (const int key : keys)
            m_part->notes.push_back({m_position, marks.length, key, velocity, marks.slide});
        advance(marks.length);
    }

    void advance(int ticks)
    {
        m_position += ticks;
        if (m_position >= kMaxTicks)
            throw ScoreError(m_line, "part " + m_part->name + " is longer than a MIDI file can time");
    }

    // Downbeats a little stronger than the other beats, off-beats the softest.
    int metricAccent() const
    {
        if (m_position % barTicks() == 0)
            return 8;
        return m_position % kTicksPerBeat == 0 ? 3 : 0;
    }

    // A small, repeatable unevenness of touch, so repeated figures do not sound mechanical.
    int jitter()
    {
        std::uint32_t hash = 2166136261u; // FNV-1a of the part's name and the note's number
        for (const char c : m_part->name + '#' + std::to_string(++m_noteCount))
            hash = (hash ^ std::uint8_t(c)) * 16777619u;
        return int(hash % 7) - 3;
    }

    int barTicks() const { return m_piece.beatsPerBar * kTicksPerBeat; }

    std::string where() const
    {
        const int bar = m_position / barTicks() + 1;
        const double beat = double(m_position % barTicks()) / kTicksPerBeat + 1;
        std::ostringstream out;
        out << "in part " << m_part->name << " at bar " << bar << ", beat " << beat;
        return out.str();
    }

    void endPart()
    {
        if (!m_part)
            return;
        if (m_inChord)
            throw ScoreError(m_line, "a chord of part " + m_part->name + " is not closed with \">\"");
        if (m_group)
            throw ScoreError(m_line, "a group of part " + m_part->name + " is not closed with \"]\"");
        if (m_position == 0 || m_position % barTicks() != 0)
            throw ScoreError(m_line, "part " + m_part->name + " ends " + where() + ", not after a whole bar");
        if (m_piece.lengthTicks == 0)
            m_piece.lengthTicks = m_position;
        else if (m_position != m_piece.lengthTicks)
            throw ScoreError(m_line, "part " + m_part->name + " has " + std::to_string(m_position / barTicks())
                                         + " bars, the first part " + std::to_string(m_piece.lengthTicks / barTicks()));
    }

    void finish()
    {
        if (!m_part)
            throw ScoreError(m_line, "the score has no parts");
        endPart();
        const auto drumParts = std::count_if(m_piece.parts.begin(), m_piece.parts.end(), [](const Part& p) { return p.drums; });
        if (drumParts > 1)
            throw ScoreError(m_line, "percussion shares one MIDI channel: write it as one part");
        if (m_piece.parts.size() - std::size_t(drumParts) > 15)
            throw ScoreError(m_line, "at most 15 melodic parts fit the MIDI channels");
    }

    Piece m_piece;
    Part* m_part = nullptr;
    std::map<std::string, std::vector<std::string>> m_macros;
    int m_line = 0;
    int m_keyOfDegreeOne = 60;
    int m_position = 0;
    int m_octave = 0;
    int m_velocity = 80;
    int m_lastEvent = -1; // first note of the last note, chord or rest of the part
    int m_noteCount = 0;
    bool m_inChord = false;
    std::vector<int> m_chordKeys;
    bool m_group = false;
    std::vector<std::string> m_groupTokens;
};

} // namespace

Piece parseScore(std::string_view text)
{
    return Parser().parse(text);
}

} // namespace music
