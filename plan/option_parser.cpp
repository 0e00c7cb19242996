// The arguments read by the option table's rows.
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "option_table.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Png;

namespace Plan {

namespace {

using M = MessageCode;

Message usage(MessageCode code, QString subject = {}, QString value = {}) {
    return {.code = code, .subject = std::move(subject), .value = std::move(value)};
}

// A number as the user writes it: strictly, and in German also with a
// decimal comma ("1,5"). A decimal comma elsewhere is told apart from a
// number that is none, so that the message can say how to write it.
std::variant<double, Message> numberOf(const OptionRow& row, const QString& text,
                                       Messages::Language language) {
    static const QRegularExpression decimalComma(QStringLiteral("^[+-]?[0-9]+,[0-9]+$"));
    if (const auto v = StrictNumber(text)) return *v;
    if (decimalComma.match(text).hasMatch()) {
        if (language == Messages::Language::German)
            if (const auto v = StrictNumber(QString(text).replace(',', '.'))) return *v;
        return usage(M::DecimalPoint, QString::fromLatin1(row.name), text);
    }
    return usage(M::NotANumber, QString::fromLatin1(row.name), text);
}

bool inRange(const NumberRange& range, double v) {
    if (range.refusal == M::None) return true;
    if (range.whole && v != std::floor(v)) return false;
    return (range.aboveLow ? v > range.low : v >= range.low) && v <= range.high;
}

// The index of a word among the row's words, any case.
int wordIndex(const OptionRow& row, const QString& word) {
    const QStringList words = row.choices();
    for (qsizetype k = 0; k < words.size(); ++k)
        if (word.compare(words[k], Qt::CaseInsensitive) == 0) return static_cast<int>(k);
    return -1;
}

// Edits (a letter put in, left out, changed or two swapped) from a to b.
qsizetype editDistance(const QString& a, const QString& b) {
    std::vector<std::vector<qsizetype>> d(
        static_cast<std::size_t>(a.size() + 1),
        std::vector<qsizetype>(static_cast<std::size_t>(b.size() + 1)));
    for (qsizetype i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (qsizetype j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (qsizetype i = 1; i <= a.size(); ++i)
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The word nearest to one that is none: the only one it begins, or one at
// most two edits away; empty if none is.
QString nearest(const QString& typed, const QStringList& known) {
    QStringList begun;
    QString closest;
    qsizetype best = 3;
    for (const QString& word : known) {
        if (typed.size() > 2 && word.startsWith(typed)) begun << word;
        const qsizetype distance = editDistance(typed, word);
        if (distance < best) {
            best = distance;
            closest = word;
        }
    }
    return begun.size() == 1 ? begun.front() : closest;
}

// The value's text read as the row's kind says.
std::variant<OptionValue, Message> readValue(const OptionRow& row, const QString& text,
                                             Messages::Language language) {
    OptionValue value{.text = text};
    switch (row.kind) {
        case ValueKind::Switch:
        case ValueKind::Text:
        case ValueKind::File:
            return value;
        case ValueKind::Number: {
            const auto number = numberOf(row, text, language);
            if (const auto* wrong = std::get_if<Message>(&number)) return *wrong;
            value.number = std::get<double>(number);
            if (!inRange(row.range, value.number))
                return RefusedValue(row, row.range.refusal, text);
            return value;
        }
        case ValueKind::Word:
        case ValueKind::Words:
            for (const QString& word :
                 row.kind == ValueKind::Word ? QStringList{text} : text.split(',')) {
                const int index = wordIndex(row, word);
                if (index >= 0) {
                    value.words.push_back(index);
                    continue;
                }
                if (row.kind == ValueKind::Words) return RefusedValue(row, M::WordsExpected, text);
                Message m = RefusedValue(row, M::WordExpected, text);
                // A word of one or two letters is too short to guess at.
                const QString meant =
                    word.size() > 2 ? nearest(word.toLower(), row.choices()) : QString();
                if (!meant.isEmpty()) m.facts.set(Fact::Meant, meant);
                return m;
            }
            return value;
    }
    return value;
}

// The option given before that this one cannot go with, if any.
const OptionRow* excludedBy(const OptionRow& row, const std::vector<const OptionRow*>& given) {
    for (const OptionRow* earlier : given)
        if (earlier != &row &&
            std::find(row.excludes.begin(), row.excludes.end(), earlier->id) != row.excludes.end())
            return earlier;
    return nullptr;
}

}  // namespace

QString NearestOption(const QString& name) {
    QStringList known;
    for (const OptionRow& row : OptionTable())
        for (const char* option : {row.name, row.alias})
            if (option != nullptr && row.help != M::None) known << QString::fromLatin1(option);
    return nearest(name, known);
}

std::optional<double> StrictNumber(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!pattern.match(text).hasMatch()) return std::nullopt;
    QByteArray bytes = text.toLatin1();
    if (bytes.startsWith('+')) bytes.remove(0, 1);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    if (error != std::errc() || end != bytes.constData() + bytes.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Message> SetFromText(Options& o, const OptionRow& row, const QString& text) {
    const auto value = readValue(row, text, o.language);
    if (const auto* wrong = std::get_if<Message>(&value)) return *wrong;
    return row.apply(o, std::get<OptionValue>(value), row);
}

std::optional<Message> SetFromNumber(Options& o, const OptionRow& row, double number) {
    if (row.kind != ValueKind::Number) return SetFromText(o, row, QString::number(number, 'g', 17));
    if (!inRange(row.range, number))
        return RefusedValue(row, row.range.refusal, QString::number(number, 'g', 17));
    return row.apply(o, {.number = number}, row);
}

Parsed ParseArguments(const QStringList& arguments, Messages::Language language,
                      const Options& base, std::vector<OptionId>* givenIds) {
    Options o = base;
    o.language = language;
    bool onlyPictures = false;
    std::vector<const OptionRow*> given;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString& arg = arguments[k];
        if (onlyPictures || !arg.startsWith('-') || arg.size() == 1) {
            o.pictures << arg;
            continue;
        }
        if (arg == "--") {
            onlyPictures = true;
            continue;
        }
        // Options that take a value take the next argument, whatever it
        // looks like, or what follows "=".
        const QString name = arg.section('=', 0, 0);
        const OptionRow* row = FindOption(name);
        const bool takesValue = row != nullptr && row->kind != ValueKind::Switch;
        if (row == nullptr || (!takesValue && name != arg))
            return usage(M::UnknownOption, arg, NearestOption(name));
        if (const OptionRow* other = excludedBy(*row, given))
            return usage(M::OptionsExclude, QString::fromLatin1(other->name),
                         QString::fromLatin1(row->name));
        given.push_back(row);
        if (givenIds != nullptr) givenIds->push_back(row->id);
        QString text;
        if (!takesValue) {
        } else if (arg.contains('=')) {
            text = arg.section('=', 1);
        } else if (k + 1 < arguments.size()) {
            text = arguments[++k];
        } else if (row->alone != nullptr) {
            row->alone(o);
            continue;
        } else {
            return usage(M::OptionNeedsValue, arg);
        }
        const auto value = readValue(*row, text, language);
        if (const auto* wrong = std::get_if<Message>(&value)) return *wrong;
        if (auto error = row->apply(o, std::get<OptionValue>(value), *row)) return *error;
    }
    if (!o.help && !o.version && !o.listToolkits && o.pictures.isEmpty() && base.pictures.isEmpty())
        return usage(M::NoPictureGiven);
    return o;
}

}  // namespace Plan
