#include "catalog.h"
#include "cli_options.h"
#include "knob_params.h"
#include "option_table.h"
#include "picture_io.h"
#include "picture_kinds.h"
#include "toolkits.h"

namespace StripCli {

namespace {

// The call line wraps before it would pass this column; the option lines
// start their text at kHelpColumn.
constexpr qsizetype kCallWidth = 78;
constexpr qsizetype kHelpColumn = 18;

QString say(const Message& message) {
    return Catalog::Render(message, Catalog::CommandLineLanguage());
}

QString placeholder(const OptionSpec& row) {
    if (row.placeholderWord != MessageCode::None) return say({.code = row.placeholderWord});
    return QString::fromLatin1(row.placeholder);
}

QString named(const OptionSpec& row, bool inCall) {
    QString text = QString::fromLatin1(row.name);
    if (row.placeholder == nullptr) return text;
    return text + ' ' +
           (inCall && row.synopsisValue != nullptr ? QString::fromLatin1(row.synopsisValue)
                                                   : placeholder(row));
}

// "[--angle A | --sweep S]": the options that exclude each other, together
// where the first of them stands.
QStringList callItems() {
    QStringList items{say({.code = MessageCode::UsagePicture}) + QStringLiteral("...")};
    QList<int> groups;
    for (const OptionSpec& row : OptionTable()) {
        if (row.help == MessageCode::None || groups.contains(row.excludes)) continue;
        QStringList alternatives;
        for (const OptionSpec& other : OptionTable())
            if (&other == &row || (row.excludes > 0 && other.excludes == row.excludes))
                alternatives << named(other, true);
        if (row.excludes > 0) groups << row.excludes;
        items << QLatin1Char('[') + alternatives.join(QStringLiteral(" | ")) + QLatin1Char(']');
    }
    return items;
}

QString callLines() {
    const QString call = say({.code = MessageCode::UsageCall});
    const QString indent(call.size() + 1, QLatin1Char(' '));
    QStringList lines;
    QString line = call;
    for (const QString& item : callItems()) {
        if (line.size() + 1 + item.size() > kCallWidth && line != call) {
            lines << line;
            line = indent + item;
        } else {
            line += QLatin1Char(' ') + item;
        }
    }
    return (lines << line).join(QLatin1Char('\n'));
}

}  // namespace

Message HelpFor(const OptionSpec& row) {
    Message m{.code = row.help};
    switch (row.id) {
        case OptionId::Frames:
            m.numbers[0] = KnobParams{}.FrameCount;
            break;
        case OptionId::Angle:
            m.value = QString::number(static_cast<double>(KnobParams{}.RotAngle));
            break;
        case OptionId::Vertical:
            m.numbers[0] = kMaxVerticalStripHeight;
            break;
        case OptionId::For:
            m.names = ToolkitNames();
            break;
        case OptionId::MaxSize:
            m.numbers = {kCliMaxPictureSide, kMaxMaxSize, 0};
            break;
        case OptionId::Background: {
            const QRgb grey = Pictures::kBoxBackground;
            m.value = QStringLiteral("%1,%2,%3").arg(qRed(grey)).arg(qGreen(grey)).arg(qBlue(grey));
            break;
        }
        default:
            break;
    }
    return m;
}

namespace {

QString optionLines() {
    const QString indent(kHelpColumn, QLatin1Char(' '));
    QString text;
    for (const OptionSpec& row : OptionTable()) {
        if (row.help == MessageCode::None) continue;
        QString left = QStringLiteral("  ") + named(row, false);
        left = left.size() < kHelpColumn ? left.leftJustified(kHelpColumn) : left + "  ";
        text += left + say(HelpFor(row)).replace('\n', '\n' + indent) + '\n';
    }
    return text;
}

}  // namespace

Message UsageLimits() {
    return {.code = MessageCode::UsageLimits, .numbers = {kMaxStripPixels, kMaxStripSide, 0}};
}

QString UsageText() {
    const Message intro{.code = MessageCode::UsageIntro, .names = PictureKinds::Names(true)};
    return callLines() + QStringLiteral("\n\n") + say(intro) + QStringLiteral("\n\n") +
           optionLines() + '\n' + say({.code = MessageCode::UsageExamples}) + '\n' +
           say(UsageLimits()) + '\n' + say({.code = MessageCode::UsageExitStatus}) + '\n';
}

}  // namespace StripCli
