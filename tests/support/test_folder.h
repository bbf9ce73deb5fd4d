#pragma once

#include <QString>
#include <QTemporaryDir>

namespace test {

// A fresh, empty program folder for one test: programFolder() points at it while the object
// lives. Files are added with write() or copied from the built program folder.
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& relative) const;
    // Writes a file below the folder, creating its folders.
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;
    // Copies a file or folder of the built program folder (next to the Lumavo executable).
    void copyFromProgram(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

// The program folder the build made, and a file in the source tree.
QString builtProgramFolder();
QString sourcePath(const QString& relative);

} // namespace test
