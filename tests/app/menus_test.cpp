#include "tests/app/main_window_fixture.h"

#include <QMenu>
#include <QTimer>

namespace {

using test::MainWindowTest;

struct Item {
    int level; // 0 the menu itself, 1 its items, 2 items of a sub-menu
    const char* name;
    const char* caption;
    bool checked;
};

// The menus as the learner sees them, in order.
const Item kMenuTree[] = {
    {0, "EntrarP", "EntrarP", false},
    {1, "EntrarAA", "&Entrar ...", false},
    {1, "SalirAA", "Salir", false},
    {0, "jianZZZ", "Menu Principal", false},
    {1, "ControlJianqor", "&Control", false},
    {1, "Crearaccesodirecto", "Crear acceso directo", false},
    {1, "IrAAA", "&Ir a..", false},
    {2, "PaginaPrincipal", "&Pagina Principal", false},
    {2, "Pronuciaciones1", "Pro&nuciaciones", false},
    {2, "EsrituraChina", "&Esritura China", false},
    {2, "Gramaticas1", "&Gramaticas", false},
    {2, "FlasesUsuales1", "&Flases Usuales.", false},
    {2, "AnexosAnexos", "&Anexos", false},
    {1, "Pantalla", "Pantalla", false},
    {1, "AlphaP", "&Transparencias", false},
    {2, "OpcionesPer", "&Personalizar", false},
    {2, "Alpha20", "&80%", false},
    {2, "Alpha40", "&60%", false},
    {2, "Alpha60", "&40%", false},
    {2, "Alpha80", "&20%", false},
    {2, "Alpha100", "&Normal (OPaco)", false},
    {1, "SonidoP", "&Sonido", true},
    {1, "Volumen", "&Volumen", false},
    {2, "Volumen100", "10%", false},
    {2, "Volumen100", "20%", false},
    {2, "Volumen100", "30%", false},
    {2, "Volumen100", "40%", false},
    {2, "Volumen100", "50%", false},
    {2, "Volumen100", "60%", false},
    {2, "Volumen100", "70%", false},
    {2, "Volumen100", "80%", false},
    {2, "Volumen100", "90%", false},
    {2, "Volumen100", "100%", false},
    {1, "PracticaEscribir", "&Practica Escribir", false},
    {1, "BuscarRead", "&Buscar un sonido", false},
    {1, "Minimiza", "&Minimiza", false},
    {1, "Tavemora", "www.lumavo.example", false},
    {1, "AyudaQor", "A&yuda", false},
    {1, "AcercaDe", "&Acerca de ...", false},
    {1, "SalirZZZ", "Salir (&Quit)", false},
};

void flatten(const QMenu* menu, int level, std::vector<Item>& out, std::vector<std::string>& text)
{
    auto keep = [&](int lvl, const QString& name, const QString& caption, bool checked) {
        text.push_back(name.toStdString());
        text.push_back(caption.toStdString());
        out.push_back({lvl, text[text.size() - 2].c_str(), text.back().c_str(), checked});
    };
    if (level == 0)
        keep(0, menu->objectName(), menu->title(), false);
    for (const QAction* action : menu->actions()) {
        if (const QMenu* sub = action->menu()) {
            keep(level + 1, sub->objectName(), sub->title(), false);
            flatten(sub, level + 1, out, text);
        } else {
            keep(level + 1, action->objectName(), action->text(), action->isChecked());
        }
    }
}

TEST_F(MainWindowTest, TheMenuTreeIsTheCoursesOwn)
{
    app::Form3& form = open();
    std::vector<Item> items;
    std::vector<std::string> text;
    text.reserve(400);
    flatten(form.menus.EntrarP, 0, items, text);
    flatten(form.menus.jianZZZ, 0, items, text);
    ASSERT_EQ(items.size(), std::size(kMenuTree));
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].level, kMenuTree[i].level) << i;
        EXPECT_STREQ(items[i].name, kMenuTree[i].name) << i;
        EXPECT_STREQ(items[i].caption, kMenuTree[i].caption) << i;
        EXPECT_EQ(items[i].checked, kMenuTree[i].checked) << kMenuTree[i].name;
    }
}

TEST_F(MainWindowTest, OpacityItemsApplyAndSaveTheirLevel)
{
    app::Form3& form = open();
    const std::pair<QAction*, int> items[] = {{form.menus.Alpha20, 51},
                                              {form.menus.Alpha40, 102},
                                              {form.menus.Alpha60, 153},
                                              {form.menus.Alpha80, 204},
                                              {form.menus.Alpha100, 255}};
    for (const auto& [item, level] : items) {
        form.menus.OpcionesPer->setChecked(true);
        item->trigger();
        EXPECT_EQ(app::OpacityLevel, level);
        EXPECT_EQ(form.ConfigValues[app::Opacity], level);
        EXPECT_NEAR(form.windowOpacity(), level / 255.0, 1.0 / 255);
        EXPECT_FALSE(form.menus.OpcionesPer->isChecked());
        EXPECT_EQ(folder.read("confg.Ini").split('\n').value(1), QByteArray::number(level) + '\r');
    }
}

TEST_F(MainWindowTest, SalirQuitPlaysTheClosingMovieOverTheCurrentSection)
{
    app::Form3& form = open();
    form.menus.AnexosAnexos->trigger();
    form.WindowsMediaPlayer1->render(1.0);
    form.menus.SalirZZZ->trigger();
    EXPECT_EQ(app::CurrentSection, 6);
    EXPECT_EQ(movie(), "swf/Quit.swf");
    EXPECT_EQ(view()->currentFrame(), 0);
    EXPECT_EQ(music(), "Midi/Anexos.mid");
    EXPECT_LT(form.WindowsMediaPlayer1->position(), 0.1); // the section's piece from its beginning
    QTRY_COMPARE_WITH_TIMEOUT(ended->count(), 1, 15000);
}

TEST_F(MainWindowTest, EntrarLoadsTheIndexFileInTheStartScreensArea)
{
    app::Form3& form = open();
    form.menus.EntrarAA->trigger();
    EXPECT_EQ(app::CurrentSection, 1);
    EXPECT_EQ(movie(), "Datos/index.dat");
    EXPECT_TRUE(view()->hasMovie());
    EXPECT_EQ(form.Flash1->geometry(), QRect(224, 156, 352, 288));
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(music(), "Midi/Main.mid");
}

TEST_F(MainWindowTest, SalirOfTheStartMenuEndsAtOnce)
{
    app::Form3& form = open();
    form.menus.SalirAA->trigger();
    EXPECT_EQ(ended->count(), 1);
    EXPECT_NE(movie(), "swf/Quit.swf");
}

TEST_F(MainWindowTest, ARightPressOutsideThePlayerOffersTheStartMenu)
{
    app::Form3& form = open();
    bool shown = false;
    QTimer::singleShot(50, &form, [&] {
        shown = form.menus.EntrarP->isVisible();
        form.menus.EntrarP->close();
    });
    QTest::mousePress(&form, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_TRUE(shown);
    EXPECT_EQ(app::CurrentSection, 0);
}

TEST_F(MainWindowTest, PantallaAndMinimiza)
{
    app::Form3& form = open();
    form.menus.Pantalla->trigger();
    EXPECT_EQ(form.ConfigValues[app::ScreenMode], 1);
    form.menus.Minimiza->trigger();
    EXPECT_TRUE(form.isMinimized());
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Paused);
}

} // namespace
