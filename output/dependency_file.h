#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

#include "message.h"

namespace Output {

// What build tools read to rebuild a strip when a file it was made from
// changes: a Make dependency file as compilers write it (gcc -MD -MP).

// The files a picture's run wrote (the targets) and read (the
// prerequisites: picture, layers, recipe), named as the run names them.
struct DependencyRule {
    QStringList targets;
    QStringList prerequisites;
};

// The rules, one a picture, then an empty rule for each prerequisite, so
// that make does not stop at one that is gone (gcc's -MP). In a name a
// space or tab is escaped with a backslash (and the backslashes before it
// doubled, as those at the end of a name), '#' with a
// backslash, '$' is "$$"; names are the system's bytes. A name with a line break cannot be written:
// NameOnNoLine names it.
std::variant<QByteArray, Messages::Message> DependencyFileText(
    const std::vector<DependencyRule>& rules);

// Whether a name can stand on a line of its own: a list of files, one a
// line, can hold it.
bool OnOneLine(const QString& name);

}  // namespace Output
