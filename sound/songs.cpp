#include "sound/songs.h"

namespace sound {
namespace {

constexpr Song songs[] = {
    {"Sur_del_rio", "Sur del rio", "\\Music\\Sur_del_rio.swf", true},
    {"Crepusculo", "Crepusculo", "\\Music\\Crepusculo.swf", true},
    {"Amor_de_Nuestro", "Amor de Nuestro", "\\Music\\Amor_de_Nuestro.swf", true},
    {"Esfuerzos", "Esfuerzos", "\\Music\\Esfuerzos.swf", true},
    {"Hombres_&_Mares", "Hombres v.s. Mar", "\\Music\\Hombres_&_Mares.swf", true},
    {"Coherencia_Absoluta_en_Amor", "Coherencia Absoluta en Amor", "\\Music\\Coherencia_Absoluta_en_Amor.swf", true},
    {"Love_Love_Love", "Love Love Love", "\\Music\\Love_Love_Love.swf", true},
    {"Primer_Amante", "Primer Amante", "\\Music\\Primer_Amante.swf", false},
    {"La_Flor_Lila", "La Flor Lila", "\\Music\\La_Flor_Lila.swf", false},
    {"Tal_Injusticia", "Tal Injusticia", "\\Music\\Tal_Injusticia.swf", true},
};

} // namespace

std::span<const Song> SongTable()
{
    return songs;
}

const Song* findSong(const QString& command)
{
    for (const Song& song : songs) {
        if (command == QLatin1String(song.command))
            return &song;
    }
    return nullptr;
}

} // namespace sound
