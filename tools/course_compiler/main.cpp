// The course compiler: writes the course's movies.
//
//   lumavo-course-compiler PROGRAM_DIR MODULES_DIR
//
// PROGRAM_DIR receives the movies that lie beside the program ("swf/Inicio.swf",
// "swf/Quit.swf", "Datos/index.dat"); MODULES_DIR the six modules built into the program, one
// file per resource type name ("INDEX.swf", ...).
#include "tools/course_compiler/movies.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

// The program finds its stored modules' ends by the resources' own sizes; a stored module is
// a little longer than its movie, as the course's stored files have always been.
constexpr int kStoredModulePadding = 2;

bool save(const swf::MovieBuilder& movie, const QString& path, int padding = 0)
{
    QDir().mkpath(QFileInfo(path).path());
    std::vector<std::uint8_t> bytes = movie.bytes();
    bytes.insert(bytes.end(), padding, 0);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size())
        || !file.commit()) {
        std::fprintf(stderr, "lumavo-course-compiler: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR MODULES_DIR\n", argv[0]);
        return 2;
    }
    // Fonts are all the compiler needs of the windowing system.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir program(QString::fromLocal8Bit(argv[1]));
    const QDir modules(QString::fromLocal8Bit(argv[2]));

    using course::Module;
    const swf::MovieBuilder index = course::moduleMovie(Module::Index);
    bool ok = save(course::startMovie(), program.filePath("swf/Inicio.swf"))
        && save(course::closingMovie(), program.filePath("swf/Quit.swf"))
        && save(index, program.filePath("Datos/index.dat"))
        && save(index, modules.filePath("INDEX.swf"), kStoredModulePadding);
    const std::pair<Module, const char*> stored[] = {{Module::Pinyin, "PINYIN.swf"},
                                                     {Module::Escrituras, "ESCRITURAS.swf"},
                                                     {Module::FraseConv, "FRASECONV.swf"},
                                                     {Module::Gramaticas, "GRAMATICAS.swf"},
                                                     {Module::Anexos, "ANEXOS.swf"}};
    for (const auto& [module, file] : stored)
        ok = ok && save(course::moduleMovie(module), modules.filePath(file), kStoredModulePadding);
    return ok ? 0 : 1;
}
