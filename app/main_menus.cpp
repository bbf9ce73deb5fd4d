#include "app/main_menus.h"

#include <QAction>
#include <QMenu>

namespace app {
namespace {

QMenu* menu(QWidget* owner, const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QMenu* subMenu(QMenu* parent, const char* name, const QString& caption)
{
    QMenu* sub = menu(parent, name, caption);
    parent->addMenu(sub);
    return sub;
}

QAction* item(QMenu* parent, const char* name, const QString& caption, bool checkable = false)
{
    QAction* action = parent->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    return action;
}

} // namespace

MainMenus::MainMenus(QWidget* owner)
{
    EntrarP = menu(owner, "EntrarP", QStringLiteral("EntrarP"));
    EntrarAA = item(EntrarP, "EntrarAA", QStringLiteral("&Entrar ..."));
    SalirAA = item(EntrarP, "SalirAA", QStringLiteral("Salir"));

    jianZZZ = menu(owner, "jianZZZ", QStringLiteral("Menu Principal"));
    ControlJianqor = item(jianZZZ, "ControlJianqor", QStringLiteral("&Control"));
    Crearaccesodirecto = item(jianZZZ, "Crearaccesodirecto", QStringLiteral("Crear acceso directo"));
    IrAAA = subMenu(jianZZZ, "IrAAA", QStringLiteral("&Ir a.."));
    PaginaPrincipal = item(IrAAA, "PaginaPrincipal", QStringLiteral("&Pagina Principal"));
    Pronuciaciones1 = item(IrAAA, "Pronuciaciones1", QStringLiteral("Pro&nuciaciones"));
    EsrituraChina = item(IrAAA, "EsrituraChina", QStringLiteral("&Esritura China"));
    Gramaticas1 = item(IrAAA, "Gramaticas1", QStringLiteral("&Gramaticas"));
    FlasesUsuales1 = item(IrAAA, "FlasesUsuales1", QStringLiteral("&Flases Usuales."));
    AnexosAnexos = item(IrAAA, "AnexosAnexos", QStringLiteral("&Anexos"));
    Pantalla = item(jianZZZ, "Pantalla", QStringLiteral("Pantalla"));
    AlphaP = subMenu(jianZZZ, "AlphaP", QStringLiteral("&Transparencias"));
    OpcionesPer = item(AlphaP, "OpcionesPer", QStringLiteral("&Personalizar"), true);
    Alpha20 = item(AlphaP, "Alpha20", QStringLiteral("&80%"));
    Alpha40 = item(AlphaP, "Alpha40", QStringLiteral("&60%"));
    Alpha60 = item(AlphaP, "Alpha60", QStringLiteral("&40%"));
    Alpha80 = item(AlphaP, "Alpha80", QStringLiteral("&20%"));
    Alpha100 = item(AlphaP, "Alpha100", QStringLiteral("&Normal (OPaco)"));
    SonidoP = item(jianZZZ, "SonidoP", QStringLiteral("&Sonido"), true);
    SonidoP->setChecked(true);
    Volumen = subMenu(jianZZZ, "Volumen", QStringLiteral("&Volumen"));
    for (int i = 0; i < 10; ++i) {
        Volumen100[i] = item(Volumen, "Volumen100", QStringLiteral("%1%").arg((i + 1) * 10));
        Volumen100[i]->setData(i);
    }
    PracticaEscribir = item(jianZZZ, "PracticaEscribir", QStringLiteral("&Practica Escribir"), true);
    BuscarRead = item(jianZZZ, "BuscarRead", QStringLiteral("&Buscar un sonido"));
    Minimiza = item(jianZZZ, "Minimiza", QStringLiteral("&Minimiza"));
    Tavemora = item(jianZZZ, "Tavemora", kMakerWebAddress);
    AyudaQor = item(jianZZZ, "AyudaQor", QStringLiteral("A&yuda"));
    AcercaDe = item(jianZZZ, "AcercaDe", QStringLiteral("&Acerca de ..."));
    SalirZZZ = item(jianZZZ, "SalirZZZ", QStringLiteral("Salir (&Quit)"));
}

} // namespace app
