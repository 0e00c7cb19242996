#include "strip_header.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "side_files.h"

namespace Output {

namespace {

// A number as C writes it: no exponent, no trailing zeros.
QByteArray number(double value) {
    QByteArray text = QByteArray::number(value, 'f', 6);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.'))) text.chop(1);
    return text == "-0" ? "0" : text;
}

// Text in a comment that cannot end it.
QByteArray commentSafe(const QString& text) {
    return text.toUtf8().replace("*/", "* /");
}

// Bytes as the elements of a `const char` array: '\x89', sixteen a line. A
// character constant has the type char whether char is signed or not, so
// the array takes every byte as it is in C and C++ alike.
class CharArraySink final : public Png::ByteSink {
public:
    explicit CharArraySink(Png::ByteSink& out) : out_(out) {}
    void restart() { count_ = 0; }
    bool write(const uint8_t* data, std::size_t size) override {
        static constexpr char kHex[] = "0123456789abcdef";
        QByteArray text;
        text.reserve(static_cast<qsizetype>(size) * 8 + size / 16 * 5);
        for (std::size_t k = 0; k < size; ++k, ++count_) {
            text += count_ % 16 == 0 ? "\n    " : " ";
            const char element[] = {'\'', '\\', 'x', kHex[data[k] >> 4], kHex[data[k] & 15],
                                    '\'', ','};
            text.append(element, sizeof element);
        }
        if (!out_.write(reinterpret_cast<const uint8_t*>(text.constData()),
                        static_cast<std::size_t>(text.size())))
            return fail(out_.error());
        return true;
    }

private:
    Png::ByteSink& out_;
    std::size_t count_ = 0;
};

class CHeader final : public StripsFile {
public:
    CHeader(Png::ByteSink& out, const StripFacts& facts)
        : out_(out), facts_(facts), id_(Identifier(facts.name)), elements_(out) {}

    bool begin() override {
        const int64_t last = int64_t{facts_.frames} - 1;
        QByteArray text = "/* " + commentSafe(facts_.name) + ": frame = round(value * " +
                          QByteArray::number(last) +
                          ") for a value from 0 to 1. DPF's ImageKnob picks\n"
                          "   int(value * " +
                          QByteArray::number(last) + " + 0.5) with Cairo and uint(value * " +
                          QByteArray::number(last) +
                          ") with OpenGL, which truncates;\n"
                          "   with an odd count both show the ends and the middle frame. */\n"
                          "#pragma once\n\n";
        text += constant("frames", QByteArray::number(facts_.frames), "unsigned int");
        text += constant("columns", QByteArray::number(facts_.layout.Columns(facts_.frames)),
                         "unsigned int");
        text +=
            constant("rows", QByteArray::number(facts_.layout.Rows(facts_.frames)), "unsigned int");
        text +=
            constant("frame_width", QByteArray::number(facts_.logicalFrameWidth()), "unsigned int");
        text += constant("frame_height", QByteArray::number(facts_.logicalFrameHeight()),
                         "unsigned int");
        text += constant("start_angle", number(facts_.startAngle), "double");
        text += constant("end_angle", number(facts_.endAngle()), "double");
        return put(text);
    }

    Png::ByteSink& strip(std::size_t k) override {
        const ScaledStrip& strip = facts_.strips.at(k);
        suffix_ = k == 0 ? QByteArray() : '_' + number(strip.scale).replace('.', '_') + 'x';
        QByteArray text = "\n/* " + commentSafe(strip.file) + " */\n";
        text += constant("width" + suffix_, QByteArray::number(strip.width), "unsigned int");
        text += constant("height" + suffix_, QByteArray::number(strip.height), "unsigned int");
        text += "static const char " + id_ + "_data" + suffix_ + "[] = {";
        opened_ = put(text);
        elements_.restart();
        return elements_;
    }

    bool endStrip() override {
        return opened_ && !elements_.failed() &&
               put("\n};\nstatic const unsigned int " + id_ + "_size" + suffix_ + " = sizeof(" +
                   id_ + "_data" + suffix_ + ");\n");
    }

    bool finish() override { return true; }

private:
    QByteArray constant(const QByteArray& name, const QByteArray& value, const char* type) const {
        return "static const " + QByteArray(type) + ' ' + id_ + '_' + name + " = " + value + ";\n";
    }
    bool put(const QByteArray& text) {
        return out_.write(reinterpret_cast<const uint8_t*>(text.constData()),
                          static_cast<std::size_t>(text.size()));
    }

    Png::ByteSink& out_;
    const StripFacts& facts_;
    const QByteArray id_;
    CharArraySink elements_;
    QByteArray suffix_;
    bool opened_ = false;
};

}  // namespace

std::unique_ptr<StripsFile> MakeCHeader(Png::ByteSink& out, const StripFacts& facts) {
    return std::make_unique<CHeader>(out, facts);
}

namespace {

// Words C or C++ keeps for itself, and names GCC and Clang define as
// macros in their GNU modes: none of them can name a strip.
constexpr std::string_view kReserved[] = {
    "alignas",   "alignof",   "and",           "and_eq",       "asm",
    "auto",      "bitand",    "bitor",         "bool",         "break",
    "case",      "catch",     "char",          "char8_t",      "char16_t",
    "char32_t",  "class",     "compl",         "concept",      "const",
    "consteval", "constexpr", "constinit",     "const_cast",   "continue",
    "co_await",  "co_return", "co_yield",      "decltype",     "default",
    "delete",    "do",        "double",        "dynamic_cast", "else",
    "enum",      "explicit",  "export",        "extern",       "false",
    "float",     "for",       "friend",        "goto",         "i386",
    "if",        "inline",    "int",           "linux",        "long",
    "mutable",   "namespace", "new",           "noexcept",     "not",
    "not_eq",    "nullptr",   "operator",      "or",           "or_eq",
    "private",   "protected", "public",        "register",     "reinterpret_cast",
    "requires",  "restrict",  "return",        "short",        "signed",
    "sizeof",    "static",    "static_assert", "static_cast",  "struct",
    "switch",    "template",  "this",          "thread_local", "throw",
    "true",      "try",       "typedef",       "typeid",       "typename",
    "typeof",    "union",     "unix",          "unsigned",     "using",
    "virtual",   "void",      "volatile",      "wchar_t",      "while",
    "xor",       "xor_eq",
};

bool reserved(const QByteArray& name) {
    return std::find(std::begin(kReserved), std::end(kReserved),
                     std::string_view(name.constData(), static_cast<std::size_t>(name.size()))) !=
           std::end(kReserved);
}

// The struct every embedded strip is, declared once however many headers a
// program includes.
constexpr char kStripType[] =
    "#ifndef TORVELINK_STRIP_DEFINED\n"
    "#define TORVELINK_STRIP_DEFINED\n"
    "/* A strip file's bytes and what a program needs to play it: frame k\n"
    "   (from 0) lies in column k % columns and row k / columns. */\n"
    "typedef struct torvelink_strip {\n"
    "    const char* data;          /* the file's bytes, PNG or BMP */\n"
    "    size_t size;\n"
    "    unsigned int frames;\n"
    "    unsigned int frame_width;  /* one frame, pixels of this file */\n"
    "    unsigned int frame_height;\n"
    "    unsigned int columns;\n"
    "    unsigned int rows;\n"
    "    const char* layout;        /* \"horizontal\", \"vertical\" or \"grid\" */\n"
    "    double scale;              /* pixels per logical pixel: 2 for @2x */\n"
    "    double start_angle;        /* degrees clockwise from the picture as drawn */\n"
    "    double end_angle;\n"
    "} torvelink_strip;\n"
    "#endif\n";

// A strip's C name: the namespace as its prefix, then its C++ name.
QByteArray cName(const QByteArray& space, const QByteArray& name) {
    return space + (name.startsWith('_') ? "" : "_") + name;
}

// Writes each strip's bytes as an array, then defines the strip with them.
class CSource final : public StripsFile {
public:
    CSource(Png::ByteSink& out, const StripFacts& facts, const QByteArray& space,
            const QString& header)
        : out_(out), facts_(facts), space_(space), header_(header), elements_(out) {}

    bool begin() override {
        return put("/* The bytes of the strips of " + commentSafe(facts_.name) +
                   ", for a program to link. */\n#include \"" + header_.toUtf8() + "\"\n");
    }

    Png::ByteSink& strip(std::size_t k) override {
        k_ = k;
        const QByteArray name = cName(space_, EmbeddedName(facts_.strips.at(k).file));
        opened_ = put("\n/* " + commentSafe(facts_.strips.at(k).file) + " */\nstatic const char " +
                      name + "_bytes[] = {");
        elements_.restart();
        return elements_;
    }

    bool endStrip() override {
        const ScaledStrip& strip = facts_.strips.at(k_);
        const QByteArray name = cName(space_, EmbeddedName(strip.file));
        const auto whole = [](int64_t v) { return QByteArray::number(v) + 'u'; };
        const QByteArray fields = name + "_bytes, sizeof " + name + "_bytes, " +
                                  whole(facts_.frames) + ", " + whole(strip.frameWidth) + ", " +
                                  whole(strip.frameHeight) + ", " +
                                  whole(facts_.layout.Columns(facts_.frames)) + ", " +
                                  whole(facts_.layout.Rows(facts_.frames)) + ", \"" +
                                  LayoutName(facts_.layout) + "\", " + number(strip.scale) + ", " +
                                  number(facts_.startAngle) + ", " + number(facts_.endAngle());
        return opened_ && !elements_.failed() &&
               put("\n};\nconst torvelink_strip " + name + " = {" + fields + "};\n");
    }

    bool finish() override { return true; }

private:
    bool put(const QByteArray& text) {
        return out_.write(reinterpret_cast<const uint8_t*>(text.constData()),
                          static_cast<std::size_t>(text.size()));
    }

    Png::ByteSink& out_;
    const StripFacts& facts_;
    const QByteArray space_;
    const QString header_;
    CharArraySink elements_;
    std::size_t k_ = 0;
    bool opened_ = false;
};

}  // namespace

QByteArray EmbeddedName(const QString& file) {
    const qsizetype dot = file.lastIndexOf('.');
    QByteArray name = Identifier(dot > 0 ? file.left(dot) : file);
    while (name.contains("__")) name.replace("__", "_");
    while (name.startsWith('_') && !(name.size() > 1 && name[1] >= '0' && name[1] <= '9'))
        name.remove(0, 1);
    if (name.isEmpty()) return "strip";
    return reserved(name) ? name + '_' : name;
}

bool IsCNamespace(const QString& space) {
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Za-z][A-Za-z0-9]*(_[A-Za-z0-9]+)*$"));
    return pattern.match(space).hasMatch() && !reserved(space.toLatin1());
}

QByteArray CDeclarations(const StripFacts& facts, const QByteArray& space) {
    QByteArray declared, aliases;
    for (const ScaledStrip& strip : facts.strips) {
        const QByteArray name = EmbeddedName(strip.file);
        declared += "extern const torvelink_strip " + cName(space, name) + ";  /* " +
                    commentSafe(strip.file) + " */\n";
        aliases += "inline const torvelink_strip& " + name + " = ::" + cName(space, name) + ";\n";
    }
    return "/* The strips of " + commentSafe(facts.name) +
           " for a program to link: frame = round(value * (frames - 1))\n"
           "   for a value from 0 to 1. */\n"
           "#pragma once\n#include <stddef.h>\n\n" +
           QByteArray(kStripType) + "\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n" + declared +
           "#ifdef __cplusplus\n}\n"
           "#if __cplusplus >= 201703L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201703L)\n"
           "namespace " +
           space + " {\n" + aliases + "}  // namespace " + space + "\n#endif\n#endif\n";
}

std::unique_ptr<StripsFile> MakeCSource(Png::ByteSink& out, const StripFacts& facts,
                                        const QByteArray& space, const QString& header) {
    return std::make_unique<CSource>(out, facts, space, header);
}

}  // namespace Output
