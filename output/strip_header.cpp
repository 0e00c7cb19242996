#include "strip_header.h"

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

}  // namespace Output
