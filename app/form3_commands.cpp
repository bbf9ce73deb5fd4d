// The commands the movies send to the main window through the player.
#include "app/course_state.h"
#include "app/course_windows.h"
#include "app/form3.h"
#include "platform/movie_player.h"
#include "platform/program_folder.h"
#include "sound/songs.h"

namespace app {

void Form3::Flash1_FSCommand(const QString& command, const QString& /*args*/)
{
    using Action = void (*)(Form3&);
    // Matched exactly, case included, in this order; commands not listed do nothing.
    static const struct {
        const char* command;
        Action action;
    } commands[] = {
        {"IrYEntrar",
         [](Form3& form) {
             FormControl_SetCaption(QStringLiteral("Lumavo Control Activado"));
             form.C_EnterIndex();
         }},
        {"Principal",
         [](Form3& form) {
             CurrentSection = kMainIndex;
             form.C_LoadModule(107, QStringLiteral("index"));
             FormControl_SetCaption(QStringLiteral("Lumavo Control Desactivado"));
             form.yinyueSUB();
         }},
        {"FormPinYin", [](Form3& form) { form.switchModuleByCommand(2, 105, QStringLiteral("PinYin")); }},
        {"FormEscrituraChina", [](Form3& form) { form.switchModuleByCommand(3, 102, QStringLiteral("Escrituras")); }},
        {"FormFrasesUuales", [](Form3& form) { form.switchModuleByCommand(4, 103, QStringLiteral("FraseConv")); }},
        {"FormGramaticas", [](Form3& form) { form.switchModuleByCommand(5, 104, QStringLiteral("Gramaticas")); }},
        {"FormAnexos", [](Form3& form) { form.switchModuleByCommand(6, 106, QStringLiteral("Anexos")); }},
        {"Ayuda", [](Form3&) { FormAyuda2_Show(); }},
        {"opciones", [](Form3&) {}},
        {"QuitEnd",
         [](Form3& form) {
             CurrentSection = kEnding;
             form.Flash1->setMovie(platform::resolveProgramPath(u"\\SWF\\Quit.swf"));
             form.yinyueSUB();
         }},
        {"SalirVB",
         [](Form3& form) {
             form.Timer1->setInterval(200);
             CurrentSection = kEnding;
             form.Timer1->start();
         }},
    };
    for (const auto& entry : commands) {
        if (command == QLatin1String(entry.command)) {
            entry.action(*this);
            return;
        }
    }
    if (const sound::Song* song = sound::findSong(command))
        QorMusic_PlaySong(*song);
}

} // namespace app
