#pragma once

#include <QString>
#include <QStringList>

// The lines of a UTF-8 text file, without a leading byte-order mark (some
// editors write one) and without the CR of CR LF line ends; blank lines are
// kept, so an index + 1 is the line's number in the file. False with *error
// naming the file when it cannot be opened.
bool readTextLines(const QString &path, QStringList *lines, QString *error);
