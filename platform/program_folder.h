#pragma once

#include <QString>
#include <QStringView>

namespace platform {

// The folder that holds the running executable; every file the program reads or writes beside
// itself is found from here.
QString programFolder();

// Points programFolder() somewhere else (tests run the program's parts in a temporary folder).
void setProgramFolder(const QString& folder);

// Turns a program-relative path in the course's own notation ("\SWF\Quit.swf", "\Midi\Main.mid",
// backslashes, any case) into a path of this file system. Each component is matched against the
// entries that exist: the exact name first, otherwise the first entry (in sorted order) whose name
// equals it ignoring case. Components that match nothing are kept as written, so the result also
// names files that do not exist yet. "." and ".." components are
// skipped: the result never leaves the folder.
QString resolveProgramPath(QStringView relativePath);
QString resolvePath(const QString& folder, QStringView relativePath);

} // namespace platform
