// Loading the stored course modules into the main window's player.
#include "app/course_modules.h"
#include "app/course_state.h"
#include "app/form3.h"
#include "platform/movie_player.h"
#include "platform/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace app {

QString Form3::writeModuleFile(int id, const QString& name)
{
    const QString path = platform::resolveProgramPath(QStringLiteral("\\%1.dat").arg(name));
    if (QFileInfo::exists(path))
        QFile::remove(path);
    if (ResToFile(id, name, path))
        return path;

    // The program folder cannot be written (or holds no such resource): the copy goes to the
    // system's temporary folder, and is deleted after the load all the same.
    QTemporaryFile temporary(QDir(QDir::tempPath()).filePath(name + QStringLiteral("-XXXXXX.dat")));
    temporary.setAutoRemove(false);
    if (!temporary.open())
        return path;
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    ResToFile(id, name, temporaryPath);
    return temporaryPath;
}

void Form3::C_LoadModule(int id, const QString& name)
{
    const QString path = writeModuleFile(id, name);
    Flash1->setMovie(path);
    if (CurrentSection > kMainIndex && CurrentSection < kEnding) {
        Flash1->setFrameNum(2);
        Flash1->play();
    }
    QFile::remove(path);
}

void Form3::switchModuleFromMenu(std::int16_t section, int id, const QString& name)
{
    if (CurrentSection == kEnding)
        return;
    CurrentSection = section;
    C_LoadModule(id, name);
    Timer1->stop();
    yinyueSUB();
}

void Form3::switchModuleByCommand(std::int16_t section, int id, const QString& name)
{
    CurrentSection = section;
    C_LoadModule(id, name);
    if (section >= 3)
        Flash1->setFrameNum(2);
    yinyueSUB();
}

} // namespace app
