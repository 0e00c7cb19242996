#include "dependency_file.h"

#include <set>

#include "native_path.h"

using namespace Messages;
using namespace Platform;

namespace Output {

namespace {

// A name as make and ninja read it back. GNU make reads 2N + 1
// backslashes before a space as N backslashes and the space, 2N as N at the
// end of a name (where one would escape the space, colon or line break
// after it), and leaves backslashes anywhere else as they are.
QByteArray escaped(const QString& name) {
    const QByteArray bytes = NativePath::Encode(name);
    QByteArray text;
    text.reserve(bytes.size() + 8);
    qsizetype backslashes = 0;
    for (const char c : bytes) {
        switch (c) {
            case ' ':
            case '\t':
                text.append(backslashes, '\\');
                text += '\\';
                break;
            case '#':
                text += '\\';
                break;
            case '$':
                text += '$';
                break;
            default:
                break;
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
        text += c;
    }
    text.append(backslashes, '\\');
    return text;
}

// Names joined by escaped line breaks, each on a line of its own.
QByteArray listed(const QStringList& names) {
    QByteArray text;
    for (const QString& name : names) text += " \\\n  " + escaped(name);
    return text;
}

}  // namespace

bool OnOneLine(const QString& name) {
    return !name.contains('\n') && !name.contains('\r');
}

std::variant<QByteArray, Message> DependencyFileText(const std::vector<DependencyRule>& rules) {
    QByteArray text;
    QStringList read;
    std::set<QString> seen;
    for (const DependencyRule& rule : rules) {
        for (const QStringList* names : {&rule.targets, &rule.prerequisites})
            for (const QString& name : *names)
                if (!OnOneLine(name))
                    return Message{.code = MessageCode::NameOnNoLine, .subject = name};
        QByteArray targets;
        for (const QString& target : rule.targets)
            targets += (targets.isEmpty() ? "" : " ") + escaped(target);
        text += targets + ':' + listed(rule.prerequisites) + '\n';
        for (const QString& name : rule.prerequisites)
            if (seen.insert(name).second) read << name;
    }
    for (const QString& name : read) text += '\n' + escaped(name) + ":\n";
    return text;
}

}  // namespace Output
