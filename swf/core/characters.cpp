#include "swf/core/characters.h"

#include "swf/parser/tag_codes.h"

namespace swf {

std::string lower_ascii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

int TimelineDef::frame_of_label(std::string_view label) const
{
    auto it = labels.find(lower_ascii(label));
    return it == labels.end() ? -1 : it->second;
}

ShapeCharacter::ShapeCharacter(DefineShape d, const Tag& tag, std::shared_ptr<const Movie> movie)
    : Character(CharacterType::Shape, d.id), def(std::move(d)), m_tag(tag), m_movie(std::move(movie))
{
    def.shape = {};
}

const ShapeGeometry& ShapeCharacter::geometry() const
{
    std::call_once(m_built, [this] {
        // The tag was read whole when the movie loaded, so it reads the same now.
        DefineShape full;
        decode_define_shape(m_tag, full);
        m_geometry = build_shape_geometry(full.shape, full.uses_fill_winding_rule);
    });
    return m_geometry;
}

const Character* Library::find(std::uint16_t id) const
{
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : it->second.get();
}

namespace {

class LibraryBuilder {
public:
    LibraryBuilder(Library& library, const LibraryLimits& limits) : m_lib(library), m_limits(limits) {}

    std::shared_ptr<TimelineDef> timeline(const std::vector<Tag>& tags, int nesting)
    {
        auto t = std::make_shared<TimelineDef>();
        std::vector<Tag> frame;
        for (const Tag& tag : tags) {
            auto code = static_cast<TagCode>(tag.code);
            if (code == TagCode::ShowFrame) {
                t->frames.push_back(std::move(frame));
                frame.clear();
                continue;
            }
            if (code == TagCode::FrameLabel) {
                std::string_view name;
                if (decode_frame_label(tag, name))
                    t->labels.emplace(lower_ascii(name), static_cast<int>(t->frames.size()));
                continue;
            }
            if (define(tag, nesting))
                continue;
            frame.push_back(tag);
        }
        // Control tags after the last ShowFrame form a frame only if there is no other.
        if (t->frames.empty())
            t->frames.push_back(std::move(frame));
        return t;
    }

private:
    void warn(const Tag& tag, const char* what)
    {
        std::string name(tag_name(tag.code));
        m_lib.warnings.push_back(name + " at offset " + std::to_string(tag.offset) + ": " + what);
    }

    void add(std::shared_ptr<const Character> c)
    {
        // The first definition of an id wins, as in the reference players.
        m_lib.characters.emplace(c->id, std::move(c));
    }

    template <typename Def, typename Char, typename Decode>
    void simple(const Tag& tag, Decode decode)
    {
        Def def;
        if (decode(tag, def))
            add(std::make_shared<Char>(std::move(def)));
        else
            warn(tag, "damaged definition skipped");
    }

    // Handles definition and movie-level tags; false for control tags that stay in the frame.
    bool define(const Tag& tag, int nesting)
    {
        switch (static_cast<TagCode>(tag.code)) {
        case TagCode::DefineShape:
        case TagCode::DefineShape2:
        case TagCode::DefineShape3:
        case TagCode::DefineShape4:
        {
            DefineShape def;
            if (decode_define_shape(tag, def))
                add(std::make_shared<ShapeCharacter>(std::move(def), tag, m_lib.movie));
            else
                warn(tag, "damaged definition skipped");
            return true;
        }
        case TagCode::DefineMorphShape:
            simple<DefineMorphShape, MorphShapeCharacter>(tag, decode_define_morph_shape);
            return true;
        case TagCode::DefineButton:
        case TagCode::DefineButton2:
            simple<DefineButton, ButtonCharacter>(tag, decode_define_button);
            return true;
        case TagCode::DefineFont:
        case TagCode::DefineFont2:
            simple<DefineFont, FontCharacter>(tag, decode_define_font);
            return true;
        case TagCode::DefineText:
        case TagCode::DefineText2:
            simple<DefineText, TextCharacter>(tag, decode_define_text);
            return true;
        case TagCode::DefineEditText:
            simple<DefineEditText, EditTextCharacter>(tag, decode_define_edit_text);
            return true;
        case TagCode::DefineSound:
            simple<DefineSound, SoundCharacter>(tag, decode_define_sound);
            return true;
        case TagCode::DefineVideoStream:
            simple<DefineVideoStream, VideoCharacter>(tag, decode_define_video_stream);
            return true;
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2:
        case TagCode::DefineBitsJPEG3: {
            DefineBitsJpeg def;
            if (!decode_define_bits_jpeg(tag, def)) {
                warn(tag, "damaged definition skipped");
                return true;
            }
            auto c = std::make_shared<BitmapCharacter>(def.id);
            c->jpeg = def;
            c->jpeg_tables = m_jpeg_tables;
            add(c);
            return true;
        }
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: {
            DefineBitsLossless def;
            if (!decode_define_bits_lossless(tag, def)) {
                warn(tag, "damaged definition skipped");
                return true;
            }
            auto c = std::make_shared<BitmapCharacter>(def.id);
            c->lossless = def;
            add(c);
            return true;
        }
        case TagCode::JPEGTables:
            decode_jpeg_tables(tag, m_jpeg_tables);
            return true;
        case TagCode::DefineFontInfo:
        case TagCode::DefineFontInfo2: {
            DefineFontInfo info;
            if (!decode_define_font_info(tag, info)) {
                warn(tag, "damaged font info skipped");
                return true;
            }
            auto it = m_lib.characters.find(info.font_id);
            if (it != m_lib.characters.end() && it->second->type == CharacterType::Font) {
                auto font = std::make_shared<FontCharacter>(*static_cast<const FontCharacter*>(it->second.get()));
                font->info = std::move(info);
                it->second = font;
            }
            return true;
        }
        case TagCode::DefineButtonCxform:
        case TagCode::DefineButtonSound: {
            bool cxform = tag.code == static_cast<std::uint16_t>(TagCode::DefineButtonCxform);
            std::uint16_t id = tag.body.size() >= 2 ? std::uint16_t(tag.body[0] | (tag.body[1] << 8)) : 0;
            auto it = m_lib.characters.find(id);
            if (it == m_lib.characters.end() || it->second->type != CharacterType::Button)
                return true;
            auto button = std::make_shared<ButtonCharacter>(*static_cast<const ButtonCharacter*>(it->second.get()));
            if (cxform) {
                DefineButtonCxform def;
                if (decode_define_button_cxform(tag, def))
                    button->cxform = def.color_transform;
            } else {
                DefineButtonSound def;
                if (decode_define_button_sound(tag, def))
                    button->sounds = def;
            }
            it->second = button;
            return true;
        }
        case TagCode::DefineSprite: {
            DefineSprite def;
            if (!decode_define_sprite(tag, def, &m_lib.warnings)) {
                warn(tag, "damaged sprite skipped");
                return true;
            }
            if (nesting >= m_limits.max_sprite_nesting) {
                warn(tag, "sprites nested too deeply; skipped");
                return true;
            }
            add(std::make_shared<SpriteCharacter>(def.id, timeline(def.tags, nesting + 1)));
            return true;
        }
        case TagCode::ExportAssets: {
            std::vector<ExportedAsset> assets;
            decode_export_assets(tag, assets);
            for (const ExportedAsset& a : assets)
                m_lib.exports.emplace(lower_ascii(a.name), a.id);
            return true;
        }
        case TagCode::SetBackgroundColor:
            if (nesting == 0)
                return false;
            return true;
        case TagCode::ShowFrame:
        case TagCode::PlaceObject:
        case TagCode::PlaceObject2:
        case TagCode::RemoveObject:
        case TagCode::RemoveObject2:
        case TagCode::DoAction:
        case TagCode::DoInitAction:
        case TagCode::StartSound:
        case TagCode::SoundStreamHead:
        case TagCode::SoundStreamHead2:
        case TagCode::SoundStreamBlock:
        case TagCode::VideoFrame:
            return false;
        default:
            // Movie-level tags (Protect, EnableDebugger, ScriptLimits, ImportAssets, ...) and
            // authoring leftovers: read once at load, nothing to keep per frame.
            if (tag_name(tag.code).empty())
                m_lib.warnings.push_back("unknown tag " + std::to_string(tag.code) + " skipped");
            return true;
        }
    }

    Library& m_lib;
    const LibraryLimits& m_limits;
    Bytes m_jpeg_tables;
};

} // namespace

std::shared_ptr<Library> build_library(std::shared_ptr<const Movie> movie, const LibraryLimits& limits)
{
    auto lib = std::make_shared<Library>();
    lib->movie = movie;
    lib->warnings = movie->warnings;
    LibraryBuilder builder(*lib, limits);
    lib->root = builder.timeline(movie->tags, 0);
    // The stage colour is the first SetBackgroundColor of the movie.
    for (const Tag& tag : movie->tags)
        if (tag.code == static_cast<std::uint16_t>(TagCode::SetBackgroundColor)) {
            Rgba c;
            if (decode_background_color(tag, c))
                lib->background = c;
            break;
        }
    return lib;
}

} // namespace swf
