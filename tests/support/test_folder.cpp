#include "tests/support/test_folder.h"

#include "platform/program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace test {

ProgramFolder::ProgramFolder()
{
    platform::setProgramFolder(m_dir.path());
}

ProgramFolder::~ProgramFolder()
{
    platform::setProgramFolder(QString());
}

QString ProgramFolder::filePath(const QString& relative) const
{
    return QDir(m_dir.path()).filePath(relative);
}

void ProgramFolder::write(const QString& relative, const QByteArray& bytes) const
{
    const QString file = filePath(relative);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

QByteArray ProgramFolder::read(const QString& relative) const
{
    QFile in(filePath(relative));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool ProgramFolder::exists(const QString& relative) const
{
    return QFileInfo::exists(filePath(relative));
}

void ProgramFolder::copyFromProgram(const QString& relative) const
{
    const QString source = QDir(builtProgramFolder()).filePath(relative);
    if (QFileInfo(source).isDir()) {
        QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = filePath(QDir(builtProgramFolder()).relativeFilePath(file));
            QDir().mkpath(QFileInfo(target).path());
            QFile::copy(file, target);
        }
    } else {
        QDir().mkpath(QFileInfo(filePath(relative)).path());
        QFile::copy(source, filePath(relative));
    }
}

QString builtProgramFolder()
{
    return qEnvironmentVariable("LUMAVO_PROGRAM_DIR");
}

QString sourcePath(const QString& relative)
{
    return QDir(qEnvironmentVariable("LUMAVO_SOURCE_DIR")).filePath(relative);
}

} // namespace test
