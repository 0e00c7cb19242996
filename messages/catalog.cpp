#include "catalog.h"

#include <QRegularExpression>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace Messages {

namespace {

// How each fact is named in a catalog's texts.
constexpr const char* kFactNames[] = {
    "width",   "height",  "wantedWidth", "wantedHeight", "frames",    "otherFrames", "files",
    "pixels",  "side",    "size",        "maxSide",      "maxPixels", "maxFiles",    "index",
    "total",   "depth",   "mebibytes",   "radius",       "start",     "end",         "below",
    "above",   "angle",   "low",         "high",         "given",     "colour",      "kinds",
    "choices", "endings", "formats",     "meant",        "path",
};
static_assert(std::size(kFactNames) == static_cast<std::size_t>(Fact::kCount));

// What a language joins its lists with, besides its texts.
struct Joins {
    const char* either;  // "a, b or c"
    const char* both;    // "a, b and c"
};

Joins joinsOf(Language language) {
    return language == Language::German ? Joins{" oder ", " und "} : Joins{" or ", " and "};
}

QString joined(const QStringList& words, const QString& form, Language language) {
    if (form.isEmpty() || words.size() < 2) return words.join(QStringLiteral(", "));
    const Joins joins = joinsOf(language);
    const char* last = form == QLatin1String("or") ? joins.either : joins.both;
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QString::fromUtf8(last) +
           words.last();
}

// "{frames:frame|frames}": the count and the noun that fits it; "{side:padded}":
// the count sign-padded, as the window shows numbers.
QString counted(qint64 n, const QString& form) {
    if (form == QLatin1String("padded")) return SignPadded(n);
    const QString number = QString::number(n);
    const qsizetype bar = form.indexOf('|');
    if (bar < 0) return number;
    return number + ' ' + (n == 1 ? form.left(bar) : form.mid(bar + 1));
}

QString factText(const FactValue& value, const QString& form, Language language) {
    if (const auto* n = std::get_if<qint64>(&value)) return counted(*n, form);
    if (const auto* d = std::get_if<Decimal>(&value)) return DecimalText(*d, language);
    if (const auto* text = std::get_if<QString>(&value)) return *text;
    return joined(std::get<QStringList>(value), form, language);
}

// The reason's words, which may name the message's facts (a limit, say).
QString reasonText(const Message& m, Language language) {
    return Render({.code = m.reason.code, .reason = m.reason, .facts = m.facts}, language);
}

// A character that moves a terminal's cursor or starts a command to it: the
// C0 controls, DEL and the C1 controls (U+009B is a CSI of its own).
bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// A byte of a file name that is not UTF-8, as native_path.h keeps it: a
// lone low surrogate U+DC80 to U+DCFF.
bool isRawByte(const QString& text, qsizetype at) {
    const char16_t c = text[at].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (at == 0 || !text[at - 1].isHighSurrogate());
}

// The controls that C and ls -b write with a letter: \a \b \t \n \v \f \r.
char controlLetter(char16_t c) {
    switch (c) {
        case '\a':
            return 'a';
        case '\b':
            return 'b';
        case '\t':
            return 't';
        case '\n':
            return 'n';
        case '\v':
            return 'v';
        case '\f':
            return 'f';
        case '\r':
            return 'r';
        default:
            return '\0';
    }
}

// "\033": a byte as three octal digits, as ls -b writes it.
void appendOctal(QString& out, unsigned byte) {
    out += QLatin1Char('\\');
    for (const int shift : {6, 3, 0})
        out += QLatin1Char(static_cast<char>('0' + ((byte >> shift) & 7)));
}

// One brace's text: a fact, the subject, the value, the reason, the error
// number or the program's name. A name the message does not carry stays as
// it is, so that a test finds it.
std::optional<QString> filled(const QString& name, const QString& form, const Message& m,
                              Language language) {
    if (name == QLatin1String("subject")) return Printable(m.subject);
    if (name == QLatin1String("value")) return Printable(m.value);
    if (name == QLatin1String("reason")) return reasonText(m, language);
    if (name == QLatin1String("error")) return QString::number(m.reason.error);
    if (name == QLatin1String("program")) return QString::fromLatin1(kProgramName);
    for (std::size_t k = 0; k < std::size(kFactNames); ++k) {
        if (name != QLatin1String(kFactNames[k])) continue;
        if (const FactValue* value = m.facts.find(static_cast<Fact>(k)))
            return factText(*value, form, language);
    }
    return std::nullopt;
}

QString fill(const QString& text, const Message& m, Language language) {
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf('{', at);
        const qsizetype close = open < 0 ? -1 : text.indexOf('}', open);
        if (close < 0) break;
        out += text.mid(at, open - at);
        const QString inside = text.mid(open + 1, close - open - 1);
        const qsizetype colon = inside.indexOf(':');
        const QString name = colon < 0 ? inside : inside.left(colon);
        const QString form = colon < 0 ? QString() : inside.mid(colon + 1);
        const auto value = filled(name, form, m, language);
        out += value ? *value : text.mid(open, close - open + 1);
        at = close + 1;
    }
    return out + text.mid(at);
}

}  // namespace

QString Render(const Message& message, Language language) {
    const QString text = language == Language::German ? GermanText(message) : EnglishText(message);
    return fill(text, message, language);
}

QString Printable(const QString& text) {
    const auto plain = [&text](qsizetype at) {
        return !isControl(text[at].unicode()) && !isRawByte(text, at);
    };
    qsizetype at = 0;
    while (at < text.size() && plain(at)) ++at;
    if (at == text.size()) return text;
    QString out = text.left(at);
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        if (plain(at)) {
            out += text[at];
        } else if (const char letter = controlLetter(c); letter != '\0') {
            out += QLatin1Char('\\');
            out += QLatin1Char(letter);
        } else if (isRawByte(text, at)) {
            appendOctal(out, c - 0xDC00u);
        } else {
            for (const char byte : QString(text[at]).toUtf8())
                appendOctal(out, static_cast<uchar>(byte));
        }
    }
    return out;
}

Language CommandLineLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        // "de", "de_DE.UTF-8", "de_AT@euro": the language stands first.
        const std::string_view locale(value);
        const bool german = locale.substr(0, 2) == "de" &&
                            (locale.size() == 2 ||
                             std::string_view("_.@").find(locale[2]) != std::string_view::npos);
        return german ? Language::German : Language::English;
    }
    return Language::English;
}

QString SignPadded(qint64 value) {
    return value < 0 ? QString::number(value) : QStringLiteral(" ") + QString::number(value);
}

QString DecimalText(Decimal decimal, Language language) {
    const double value = decimal.value;
    QString text;
    if (decimal.places >= 0) {
        text = QString::number(value, 'f', decimal.places);
    } else {
        char digits[32] = {};
        const auto result =
            decimal.single
                ? std::to_chars(digits, digits + sizeof digits - 1, static_cast<float>(value))
                : std::to_chars(digits, digits + sizeof digits - 1, value);
        text = QString::fromLatin1(digits, result.ptr - digits);
    }
    // A number that rounds to zero reads as zero, not minus zero.
    if (text.startsWith('-') && !text.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        text.remove(0, 1);
    if (language == Language::German) text.replace('.', ',');
    return text;
}

}  // namespace Messages
