#pragma once

#include <QString>

#include <array>

class QAction;
class QMenu;
class QWidget;

namespace app {

// The main window's menus. They have no menu bar: `EntrarP` pops up on the window outside the
// player, `jianZZZ` (the main menu) inside it. Object names are the item names.
struct MainMenus {
    explicit MainMenus(QWidget* owner);

    QMenu* EntrarP;
    QAction* EntrarAA;
    QAction* SalirAA;

    QMenu* jianZZZ;
    QAction* ControlJianqor;
    QAction* Crearaccesodirecto;
    QMenu* IrAAA;
    QAction* PaginaPrincipal;
    QAction* Pronuciaciones1;
    QAction* EsrituraChina;
    QAction* Gramaticas1;
    QAction* FlasesUsuales1;
    QAction* AnexosAnexos;
    QAction* Pantalla;
    QMenu* AlphaP;
    QAction* OpcionesPer;
    QAction* Alpha20;
    QAction* Alpha40;
    QAction* Alpha60;
    QAction* Alpha80;
    QAction* Alpha100;
    QAction* SonidoP;
    QMenu* Volumen;
    std::array<QAction*, 10> Volumen100;
    QAction* PracticaEscribir;
    QAction* BuscarRead;
    QAction* Minimiza;
    QAction* Tavemora;
    QAction* AyudaQor;
    QAction* AcercaDe;
    QAction* SalirZZZ;
};

// The maker's web page, shown by the splash, the main menu and the about box.
inline const QString kMakerWebAddress = QStringLiteral("www.lumavo.example");
inline const QString kMakerWebPage = QStringLiteral("https://www.lumavo.example/");

} // namespace app
