#include "app/course_modules.h"
#include "platform/stored_resources.h"
#include "tests/app/main_window_fixture.h"

#include <QDirIterator>
#include <QtEndian>

namespace {

using test::MainWindowTest;

struct ModuleCase {
    const char* name;
    bool fromMenu;
    const char* trigger; // menu item name or movie command
    std::int16_t section;
    const char* music;
};

void PrintTo(const ModuleCase& c, std::ostream* out)
{
    *out << c.name;
}

class ModuleLoadTest : public MainWindowTest, public ::testing::WithParamInterface<ModuleCase> {
protected:
    void trigger(const ModuleCase& c)
    {
        if (c.fromMenu)
            form->findChild<QAction*>(QLatin1String(c.trigger))->trigger();
        else
            emit form->Flash1->FSCommand(QLatin1String(c.trigger), QStringLiteral("a"));
    }
    QStringList leftovers() const
    {
        QStringList found;
        for (const QString& dir : {folder.path(), QDir::tempPath()}) {
            QDirIterator it(dir, {QStringLiteral("*.dat")}, QDir::Files);
            while (it.hasNext()) {
                const QString file = it.next();
                if (!file.endsWith(QLatin1String("Datos/index.dat")))
                    found << file;
            }
        }
        return found;
    }
};

TEST_P(ModuleLoadTest, LoadsTheStoredModuleWithItsSectionAndMusic)
{
    const ModuleCase& c = GetParam();
    app::Form3& form = open();
    form.C_EnterIndex();
    trigger(c);

    EXPECT_EQ(app::CurrentSection, c.section);
    EXPECT_EQ(music(), QLatin1String(c.music));
    EXPECT_TRUE(view()->hasMovie());
    EXPECT_EQ(view()->frameCount() > 2, true);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
    EXPECT_EQ(form.Flash1->geometry(), QRect(0, 0, 800, 600));

    playFrames(4);
    if (c.section == 1) {
        EXPECT_TRUE(view()->isPlaying()); // the main index plays on from its first frame
        EXPECT_EQ(view()->currentFrame(), 3);
    } else {
        EXPECT_FALSE(view()->isPlaying()); // modules start on their first page and wait there
        EXPECT_EQ(view()->currentFrame(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ModuleLoadTest,
    ::testing::Values(ModuleCase{"menu_index", true, "PaginaPrincipal", 1, "Midi/Main.mid"},
                      ModuleCase{"menu_pinyin", true, "Pronuciaciones1", 2, "Midi/Pinyin.mid"},
                      ModuleCase{"menu_writing", true, "EsrituraChina", 3, "Midi/Escritura.mid"},
                      ModuleCase{"menu_grammar", true, "Gramaticas1", 4, "Midi/Frases.mid"},
                      ModuleCase{"menu_phrases", true, "FlasesUsuales1", 5, "Midi/Vocaburarios.mid"},
                      ModuleCase{"menu_annexes", true, "AnexosAnexos", 6, "Midi/Anexos.mid"},
                      ModuleCase{"command_index", false, "Principal", 1, "Midi/Main.mid"},
                      ModuleCase{"command_pinyin", false, "FormPinYin", 2, "Midi/Pinyin.mid"},
                      ModuleCase{"command_writing", false, "FormEscrituraChina", 3, "Midi/Escritura.mid"},
                      ModuleCase{"command_phrases", false, "FormFrasesUuales", 4, "Midi/Frases.mid"},
                      ModuleCase{"command_grammar", false, "FormGramaticas", 5, "Midi/Vocaburarios.mid"},
                      ModuleCase{"command_annexes", false, "FormAnexos", 6, "Midi/Anexos.mid"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoredModules, AreWrittenWholeTrailingBytesIncluded)
{
    test::ProgramFolder folder;
    for (const auto& [type, id] : {std::pair{"INDEX", 107}, {"PINYIN", 105}, {"ESCRITURAS", 102},
                                   {"FRASECONV", 103}, {"GRAMATICAS", 104}, {"ANEXOS", 106}}) {
        const auto resource = platform::findStoredResource(QString::fromLatin1(type), id);
        ASSERT_TRUE(resource) << type;
        const QString path = folder.filePath(QStringLiteral("%1.dat").arg(QLatin1String(type)));
        ASSERT_TRUE(app::ResToFile(id, QString::fromLatin1(type).toLower(), path)) << type;
        const QByteArray written = folder.read(QFileInfo(path).fileName());
        EXPECT_EQ(written, QByteArray(reinterpret_cast<const char*>(resource->data()), qsizetype(resource->size())));
        // Uncompressed version 6 movies, a little longer than their header says.
        EXPECT_TRUE(written.startsWith(QByteArray("FWS\x06", 4))) << type;
        const quint32 declared = qFromLittleEndian<quint32>(written.constData() + 4);
        EXPECT_GT(quint32(written.size()), declared) << type;
    }
    EXPECT_FALSE(app::ResToFile(999, QStringLiteral("INDEX"), folder.filePath("none.dat")));
    EXPECT_FALSE(folder.exists("none.dat"));
}

TEST_F(MainWindowTest, ALeftoverTemporaryFileIsReplaced)
{
    folder.write("index.dat", "stale bytes");
    app::Form3& form = open();
    form.C_EnterIndex();
    EXPECT_TRUE(view()->hasMovie());
    EXPECT_FALSE(folder.exists("index.dat"));
}

TEST_F(MainWindowTest, AFailedLoadLeavesNoFileAndNoMovie)
{
    app::Form3& form = open();
    form.C_LoadModule(999, QStringLiteral("Missing"));
    EXPECT_FALSE(view()->hasMovie());
    EXPECT_FALSE(folder.exists("Missing.dat"));
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({QStringLiteral("Missing-*.dat")}).isEmpty());
}

TEST_F(MainWindowTest, AnUnwritableTemporaryPlaceStillLoadsTheModule)
{
    // A folder in the way of "\PinYin.dat" makes the program folder's copy impossible, as a
    // read-only program folder does.
    QDir(folder.path()).mkdir(QStringLiteral("PinYin.dat"));
    app::Form3& form = open();
    emit form.Flash1->FSCommand(QStringLiteral("FormPinYin"), QStringLiteral("a"));
    EXPECT_EQ(app::CurrentSection, 2);
    EXPECT_TRUE(view()->hasMovie());
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({QStringLiteral("PinYin-*.dat")}).isEmpty());
}

TEST_F(MainWindowTest, WhileTheClosingMoviePlaysOnlyMovieCommandsLoadModules)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    form.ZZTimerCerrado();
    for (const char* item : {"PaginaPrincipal", "Pronuciaciones1", "EsrituraChina", "Gramaticas1", "FlasesUsuales1",
                             "AnexosAnexos"}) {
        form.findChild<QAction*>(QLatin1String(item))->trigger();
        EXPECT_EQ(app::CurrentSection, 7) << item;
        EXPECT_EQ(movie(), "swf/Quit.swf") << item;
        EXPECT_EQ(music(), "Midi/Fin.mid") << item;
    }
    emit form.Flash1->FSCommand(QStringLiteral("FormPinYin"), QStringLiteral("a"));
    EXPECT_EQ(app::CurrentSection, 2);
    EXPECT_EQ(music(), "Midi/Pinyin.mid");
}

TEST_F(MainWindowTest, SalirVBEndsTheProgramShortlyWhateverTheSection)
{
    for (std::int16_t section : {0, 1, 3, 6}) {
        app::Form3& form = open();
        if (section > 0) {
            form.C_EnterIndex();
            app::CurrentSection = section;
        }
        emit form.Flash1->FSCommand(QStringLiteral("SalirVB"), QString());
        EXPECT_EQ(app::CurrentSection, 7);
        EXPECT_EQ(form.Timer1->interval(), 200);
        EXPECT_EQ(ended->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ended->count(), 1, 2000);
    }
}

TEST_F(MainWindowTest, QuitEndAgainRestartsTheEndingMusic)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    emit form.Flash1->FSCommand(QStringLiteral("QuitEnd"), QStringLiteral("z"));
    EXPECT_EQ(app::CurrentSection, 7);
    EXPECT_EQ(movie(), "swf/Quit.swf");
    EXPECT_EQ(music(), "Midi/Fin.mid");
    form.WindowsMediaPlayer1->render(1.0);
    EXPECT_GE(form.WindowsMediaPlayer1->position(), 1.0);
    emit form.Flash1->FSCommand(QStringLiteral("QuitEnd"), QStringLiteral("z"));
    EXPECT_LT(form.WindowsMediaPlayer1->position(), 0.1);
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Playing);
    EXPECT_EQ(ended->count(), 0);
}

TEST_F(MainWindowTest, CommandsNotInTheTableDoNothing)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    const QString before = movie();
    for (const char* command : {"quit", "showmenu", "howMenu", "principal", "Principal ", "formpinyin", "", "opciones"}) {
        emit form.Flash1->FSCommand(QLatin1String(command), QStringLiteral("false"));
        EXPECT_EQ(app::CurrentSection, 1) << command;
        EXPECT_EQ(movie(), before) << command;
    }
    EXPECT_EQ(ended->count(), 0);
}

} // namespace
