#include "usage_text.h"

#include <QStringList>

#include "build_rules.h"
#include "option_table.h"
#include "picture_kinds.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;

namespace Cli {

namespace {

// The call line wraps before it would pass this column; the option lines
// start their text at kHelpColumn.
constexpr qsizetype kCallWidth = 78;
constexpr qsizetype kHelpColumn = 18;

QString placeholder(const OptionRow& row, Messages::Language language) {
    if (row.placeholderWord != MessageCode::None)
        return Messages::Render({.code = row.placeholderWord}, language);
    return QString::fromLatin1(row.placeholder);
}

// "--format png|bmp" in the call line, "--format F" in the option list.
QString named(const OptionRow& row, bool inCall, Messages::Language language) {
    QString text = QString::fromLatin1(row.name);
    if (row.kind == ValueKind::Switch) return text;
    if (inCall && row.kind == ValueKind::Word && row.choices().size() <= 3)
        return text + ' ' + row.choices().join('|');
    return text + ' ' + placeholder(row, language);
}

bool excludes(const OptionRow& row, OptionId other) {
    return std::find(row.excludes.begin(), row.excludes.end(), other) != row.excludes.end();
}

// "[--angle A | --sweep S | --end E]": options that exclude each other
// together, where the first of them stands.
QStringList callItems(Messages::Language language) {
    QStringList items{Messages::Render({.code = MessageCode::UsagePicture}, language) +
                      QStringLiteral("...")};
    const auto table = OptionTable();
    for (std::size_t k = 0; k < table.size(); ++k) {
        const OptionRow& row = table[k];
        if (row.help == MessageCode::None) continue;
        const bool shown = std::any_of(table.begin(), table.begin() + static_cast<qsizetype>(k),
                                       [&](const OptionRow& o) { return excludes(row, o.id); });
        if (shown) continue;
        QStringList alternatives{named(row, true, language)};
        for (std::size_t j = k + 1; j < table.size(); ++j)
            if (excludes(row, table[j].id)) alternatives << named(table[j], true, language);
        items << QLatin1Char('[') + alternatives.join(QStringLiteral(" | ")) + QLatin1Char(']');
    }
    return items;
}

QString callLines(Messages::Language language) {
    const QString call = Messages::Render({.code = MessageCode::UsageCall}, language);
    const QString indent(call.size() + 1, QLatin1Char(' '));
    QStringList lines;
    QString line = call;
    for (const QString& item : callItems(language)) {
        if (line.size() + 1 + item.size() > kCallWidth && line != call) {
            lines << line;
            line = indent + item;
        } else {
            line += QLatin1Char(' ') + item;
        }
    }
    return (lines << line).join(QLatin1Char('\n'));
}

QString optionLines(Messages::Language language) {
    const QString indent(kHelpColumn, QLatin1Char(' '));
    QString text;
    for (const OptionRow& row : OptionTable()) {
        if (row.help == MessageCode::None) continue;
        QString left = QStringLiteral("  ") + named(row, false, language);
        left = left.size() < kHelpColumn ? left.leftJustified(kHelpColumn) : left + "  ";
        // The help's own line breaks give way to the column's; an option
        // too long for the column narrows the help beside it.
        const QString help = Wrapped(Messages::Render(HelpFor(row), language).replace('\n', ' '),
                                     kCallWidth - left.size());
        text += left + QString(help).replace('\n', '\n' + indent) + '\n';
    }
    return text;
}

}  // namespace

QString Wrapped(const QString& text, qsizetype width) {
    QStringList out;
    for (QString line : text.split('\n')) {
        while (line.size() > width) {
            qsizetype space = line.lastIndexOf(' ', width);
            if (space <= 0) space = line.indexOf(' ', width);
            if (space <= 0) break;
            out << line.left(space);
            line = line.mid(space + 1);
        }
        out << line;
    }
    return out.join('\n');
}

Message UsageLimits() {
    return {.code = MessageCode::UsageLimits,
            .facts = {{Fact::MaxPixels, kMaxStripPixels}, {Fact::MaxSide, kMaxStripSide}}};
}

Message UsageIntro() {
    return {.code = MessageCode::UsageIntro, .facts = {{Fact::Kinds, PictureKinds::Names(true)}}};
}

QString UsageText(Messages::Language language) {
    const auto say = [language](const Message& m) { return Messages::Render(m, language); };
    return callLines(language) + QStringLiteral("\n\n") + say(UsageIntro()) +
           QStringLiteral("\n\n") + optionLines(language) + '\n' +
           say({.code = MessageCode::UsageExamples}) + '\n' + say(UsageLimits()) + '\n' +
           say({.code = MessageCode::UsageExitStatus}) + '\n';
}

}  // namespace Cli
