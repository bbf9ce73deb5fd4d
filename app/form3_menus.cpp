// The actions of the main window's pop-up menus.
#include "app/course_modules.h"
#include "app/course_state.h"
#include "app/course_windows.h"
#include "app/form3.h"
#include "desktop/web_page.h"
#include "platform/movie_player.h"
#include "platform/program_folder.h"

#include <QAction>

namespace app {

void Form3::connectMenus()
{
    connect(menus.EntrarAA, &QAction::triggered, this, &Form3::EntrarAA_Click);
    connect(menus.SalirAA, &QAction::triggered, this, &Form3::ZZEnd);
    connect(menus.ControlJianqor, &QAction::triggered, this, [] { FormControl_Call(); });
    connect(menus.Crearaccesodirecto, &QAction::triggered, this, [] { CreateDesktopShortcut(); });

    const QAction* moduleItems[] = {menus.PaginaPrincipal, menus.Pronuciaciones1, menus.EsrituraChina,
                                    menus.Gramaticas1,     menus.FlasesUsuales1,  menus.AnexosAnexos};
    for (int i = 0; i < 6; ++i) {
        const ModuleRequest module = kMenuModules[i];
        connect(moduleItems[i], &QAction::triggered, this, [this, module] {
            switchModuleFromMenu(module.section, module.id, QLatin1String(module.name));
        });
    }

    connect(menus.Pantalla, &QAction::triggered, this, &Form3::C_Screen);
    // The item has already inverted its check mark.
    connect(menus.OpcionesPer, &QAction::triggered, this, [](bool checked) { FormSistema_SetShown(checked); });
    const std::pair<QAction*, std::int16_t> opacityItems[] = {
        {menus.Alpha20, 51}, {menus.Alpha40, 102}, {menus.Alpha60, 153}, {menus.Alpha80, 204}, {menus.Alpha100, 255}};
    for (const auto& [item, opacity] : opacityItems)
        connect(item, &QAction::triggered, this, [this, opacity = opacity] { setOpacityFromMenu(opacity); });

    connect(menus.SonidoP, &QAction::triggered, this, &Form3::SonidoP_Click);
    for (int i = 0; i < 10; ++i)
        connect(menus.Volumen100[i], &QAction::triggered, this, [this, i] { Volumen100_Click(i); });

    // Choosing the item shows the pad; only the pad itself changes the item's mark.
    connect(menus.PracticaEscribir, &QAction::triggered, this, [this](bool checked) {
        menus.PracticaEscribir->setChecked(!checked);
        FormEScribir_Show();
    });
    connect(menus.BuscarRead, &QAction::triggered, this, [] { FormBuscar_Show(); });
    connect(menus.Minimiza, &QAction::triggered, this, [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    connect(menus.Tavemora, &QAction::triggered, this, [] { desktop::OpenWebPage(kMakerWebPage); });
    connect(menus.AyudaQor, &QAction::triggered, this, [] { FormAyuda2_Show(); });
    connect(menus.AcercaDe, &QAction::triggered, this, [] { FrmAbout_Show(); });
    connect(menus.SalirZZZ, &QAction::triggered, this, &Form3::SalirZZZ_Click);
}

void Form3::EntrarAA_Click()
{
    // The main index from its file beside the program; the player keeps the start screen's place.
    CurrentSection = kMainIndex;
    Timer1->stop();
    Flash1->show();
    Flash1->setMovie(platform::resolveProgramPath(u"\\Datos\\index.dat"));
    yinyueSUB();
}

void Form3::SalirZZZ_Click()
{
    // The closing movie plays over the current section, whose piece starts again; the program ends
    // when the movie reports back.
    Flash1->setMovie(platform::resolveProgramPath(u"\\SWF\\Quit.swf"));
    Flash1->setFrameNum(0);
    yinyueSUB();
}

void Form3::setOpacityFromMenu(std::int16_t opacity)
{
    OpacityLevel = opacity;
    ZZAlpha();
}

} // namespace app
