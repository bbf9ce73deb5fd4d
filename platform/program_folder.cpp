#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {
namespace {

QString& overriddenFolder()
{
    static QString folder;
    return folder;
}

// The entry of `folder` called `name`, or one whose name differs only in case.
QString matchEntry(const QDir& folder, const QString& name)
{
    if (QFileInfo::exists(folder.filePath(name)))
        return name;
    const QStringList entries = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                 QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

} // namespace

QString programFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder)
{
    overriddenFolder() = folder;
}

QString resolvePath(const QString& folder, QStringView relativePath)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QStringList components = relativePath.toString().replace(QLatin1Char('\\'), QLatin1Char('/'))
                                       .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& component : components) {
        // A program-relative path never leaves the folder it is relative to.
        if (component == QLatin1String(".") || component == QLatin1String(".."))
            continue;
        const QString resolved = matchEntry(QDir(path), component);
        path = path.endsWith(QLatin1Char('/')) ? path + resolved : path + QLatin1Char('/') + resolved;
    }
    return path;
}

QString resolveProgramPath(QStringView relativePath)
{
    return resolvePath(programFolder(), relativePath);
}

} // namespace platform
