#include "manual.h"

#include <QStringList>

#include "option_table.h"
#include "usage_text.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;

namespace Cli {

namespace {

// Text as troff shows it: backslashes and leading dots escaped, hyphens
// as minus signs where they are options.
QString troff(QString text) {
    text.replace('\\', QStringLiteral("\\e"));
    text.replace('-', QStringLiteral("\\-"));
    QStringList lines = text.split('\n');
    for (QString& line : lines)
        if (line.startsWith('.') || line.startsWith('\'')) line.prepend(QStringLiteral("\\&"));
    return lines.join('\n');
}

QString say(const Message& message, Messages::Language language) {
    return Messages::Render(message, language);
}

QString say(MessageCode code, Messages::Language language) {
    return say(Message{.code = code}, language);
}

QString optionItem(const OptionRow& row, Messages::Language language) {
    QString item = QStringLiteral(".TP\n\\fB") + troff(QString::fromLatin1(row.name)) + "\\fR";
    if (row.alias != nullptr)
        item += QStringLiteral(", \\fB") + troff(QString::fromLatin1(row.alias)) + "\\fR";
    if (row.kind != ValueKind::Switch) {
        const QString value = row.placeholderWord != MessageCode::None
                                  ? say(row.placeholderWord, language)
                                  : QString::fromLatin1(row.placeholder);
        item += QStringLiteral(" \\fI") + troff(value) + "\\fR";
    }
    return item + '\n' + troff(say(HelpFor(row), language).replace('\n', ' ')) + '\n';
}

}  // namespace

QString ManualPage(Messages::Language language) {
    using M = MessageCode;
    const QString program = troff(QString::fromLatin1(Messages::kProgramName));
    QString page = ".TH " + program.toUpper() + " 1 \"\" \"" +
                   QString::fromLatin1(Messages::kProductName) + "\"\n";
    page += ".SH NAME\n" + program + " \\- " + troff(say(M::ManName, language)) + '\n';
    page += ".SH " + say(M::ManSynopsis, language) + "\n.B " + program + "\n\\fI" +
            troff(say(M::UsagePicture, language)) + "\\fR... [\\fIOPTION\\fR]...\n";
    page += ".SH " + say(M::ManDescription, language) + '\n' +
            troff(say(UsageIntro(), language).replace('\n', ' ')) + "\n.PP\n" +
            troff(say(UsageLimits(), language)) + '\n';
    page += ".SH " + say(M::ManOptions, language) + '\n';
    for (const OptionRow& row : OptionTable())
        if (row.help != M::None) page += optionItem(row, language);
    page += ".SH " + say(M::ManExitStatus, language) + '\n' +
            troff(say(M::UsageExitStatus, language).replace('\n', ' ')) + '\n';
    // The examples as the help shows them, without their title line.
    QString examples = say(M::UsageExamples, language);
    examples = examples.mid(examples.indexOf('\n') + 1);
    page += ".SH " + say(M::ManExamples, language) + "\n.nf\n" + troff(examples) + ".fi\n";
    return page;
}

QString BashCompletion() {
    // After an option with choices, its choices; after -o, a file; after
    // the other options that take a value (numbers), nothing.
    QStringList names, numbers, files;
    QString cases;
    for (const OptionRow& row : OptionTable()) {
        // The forms a value takes, as far as they can be typed: "grid:C"
        // offers "grid:".
        QStringList choices = row.choices != nullptr ? row.choices() : QStringList();
        for (QString& choice : choices)
            choice = choice.section(':', 0, 0) + (choice.contains(':') ? ":" : "");
        for (const char* name : {row.name, row.alias}) {
            if (name == nullptr) continue;
            names << QString::fromLatin1(name);
            if (row.kind == ValueKind::Switch) continue;
            if (!choices.isEmpty())
                cases +=
                    QStringLiteral(
                        "        %1) COMPREPLY=($(compgen -W \"%2\" -- \"$cur\")); return ;;\n")
                        .arg(QString::fromLatin1(name), choices.join(' '));
            else
                (row.kind == ValueKind::File ? files : numbers) << QString::fromLatin1(name);
        }
    }
    return QStringLiteral(
               "# bash completion for %5\n"
               "_torvelink_cli() {\n"
               "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
               "    case \"$prev\" in\n"
               "%1"
               "        %2) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
               "        %3) COMPREPLY=(); return ;;\n"
               "    esac\n"
               "    if [[ \"$cur\" == -* ]]; then\n"
               "        COMPREPLY=($(compgen -W \"%4\" -- \"$cur\"))\n"
               "    else\n"
               "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
               "    fi\n"
               "}\n"
               "complete -o filenames -F _torvelink_cli %5\n")
        .arg(cases, files.join('|'), numbers.join('|'), names.join(' '),
             QString::fromLatin1(Messages::kProgramName));
}

}  // namespace Cli
