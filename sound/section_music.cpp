#include "sound/section_music.h"

#include "platform/media_player.h"
#include "platform/program_folder.h"

namespace sound {

QString sectionPiece(std::int16_t section)
{
    static const char* const pieces[] = {
        "\\Midi\\IndexEnrar.mid", "\\Midi\\Main.mid",   "\\Midi\\Pinyin.mid",       "\\Midi\\Escritura.mid",
        "\\Midi\\Frases.mid",     "\\Midi\\Vocaburarios.mid", "\\Midi\\Anexos.mid", "\\Midi\\Fin.mid",
    };
    if (section < 0 || section > 7)
        return {};
    return QLatin1String(pieces[section]);
}

void playSectionPiece(platform::MediaPlayer& player, std::int16_t section)
{
    player.settings.setPlayCount(kSectionMusicPlayCount);
    player.setURL(platform::resolveProgramPath(sectionPiece(section)));
    player.controls.play();
}

} // namespace sound
