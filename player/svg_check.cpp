#include "svg_check.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <cerrno>

#include "drawing_protocol.h"

using namespace Pictures;

namespace Player {

namespace SvgCheck {

namespace {

// Qt SVG draws nothing wider or higher than this from an embedded drawing.
constexpr int kLargestEmbeddedSide = 0xFFFF;

bool isLocal(QStringView reference) {
    return reference.isEmpty() || reference.startsWith(u'#');
}

bool charge(Budget& budget, QSize size) {
    const std::int64_t pixels = std::int64_t{size.width()} * size.height();
    if (pixels > budget.pixelsLeft) return false;
    budget.pixelsLeft -= pixels;
    return true;
}

// Style text: every url() names an element of the drawing, nothing is
// imported, and no escape could spell either in a way this reading misses.
bool cssStaysInside(QStringView css) {
    if (css.contains(u'\\') || css.contains(QLatin1String("@import"), Qt::CaseInsensitive))
        return false;
    static const QRegularExpression url(QStringLiteral(R"(url\s*\()"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (auto found = url.globalMatch(css); found.hasNext();) {
        const qsizetype at = found.next().capturedEnd();
        const qsizetype end = css.indexOf(u')', at);
        QStringView target = css.mid(at, end < 0 ? css.size() - at : end - at).trimmed();
        if (target.startsWith(u'"') || target.startsWith(u'\'')) target = target.mid(1);
        if (target.endsWith(u'"') || target.endsWith(u'\'')) target.chop(1);
        if (!target.trimmed().startsWith(u'#')) return false;
    }
    return true;
}

// Whether an attribute names something to read: href or src under any
// prefix, or any spelling of them Qt SVG might take.
bool isReference(const QXmlStreamAttribute& attribute) {
    const QStringView name = attribute.qualifiedName();
    return name.endsWith(QLatin1String("href"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String("src"), Qt::CaseInsensitive);
}

Verdict checkRaster(QImageReader& reader, Budget& budget) {
    const QSize announced = reader.size();
    if (announced.isValid() &&
        std::int64_t{announced.width()} * announced.height() > budget.pixelsLeft)
        return Verdict::OverBudget;
    errno = 0;
    const QImage image = reader.read();
    // Qt SVG would leave it out: for want of memory, or as it is damaged.
    if (image.isNull()) return errno == ENOMEM ? Verdict::OverBudget : Verdict::NotReadable;
    return charge(budget, image.size()) ? Verdict::Clean : Verdict::OverBudget;
}

Verdict checkNested(const QByteArray& data, Budget& budget, int depth) {
    if (depth >= DrawingProtocol::kMaxNesting) return Verdict::TooDeep;
    const Findings inner = Check(data, budget, depth + 1);
    if (inner.verdict != Verdict::Clean) return inner.verdict;
    // Its own pictures are checked and counted: Qt SVG may read it now, and
    // draws it at its own size.
    const QSvgRenderer renderer(data);
    const QSize size = renderer.defaultSize();
    if (!renderer.isValid() || size.isEmpty() || size.width() > kLargestEmbeddedSide ||
        size.height() > kLargestEmbeddedSide)
        return Verdict::NotReadable;
    return charge(budget, size) ? Verdict::Clean : Verdict::OverBudget;
}

// An <image>'s picture, decoded as Qt SVG decodes it: the base64 text after
// the last "base64,", read by whichever of Qt's readers takes the bytes.
Verdict checkEmbedded(QStringView url, Budget& budget, int depth) {
    const qsizetype at = url.lastIndexOf(QLatin1String("base64,"));
    if (at < 0) return Verdict::NotReadable;
    QByteArray data = QByteArray::fromBase64(url.mid(at + 7).toLatin1());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format == "svg") return checkNested(data, budget, depth);
    // A compressed drawing would be unpacked by Qt SVG on its own terms.
    if (format.isEmpty() || format == "svgz") return Verdict::NotReadable;
    return checkRaster(reader, budget);
}

Verdict checkAttributes(QStringView element, const QXmlStreamAttributes& attributes, Budget& budget,
                        int depth) {
    // Qt SVG reads an <image>'s href as a file unless it starts with "data".
    const bool image = element.compare(QLatin1String("image"), Qt::CaseInsensitive) == 0;
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView value = attribute.value();
        if (isReference(attribute)) {
            const QStringView target = value.trimmed();
            if (image && !target.isEmpty()) {
                if (!target.startsWith(QLatin1String("data:"))) return Verdict::RefersToFiles;
                if (const Verdict v = checkEmbedded(target, budget, depth); v != Verdict::Clean)
                    return v;
            } else if (!image && !isLocal(target)) {
                return Verdict::RefersToFiles;
            }
        }
        const bool css = attribute.name() == QLatin1String("style") ||
                         value.contains(QLatin1String("url"), Qt::CaseInsensitive);
        if (css && !cssStaysInside(value)) return Verdict::RefersToFiles;
    }
    return Verdict::Clean;
}

// SMIL's animation elements, as Qt SVG names them.
bool isAnimation(QStringView name) {
    static const QStringList kAnimations = {
        QStringLiteral("animate"), QStringLiteral("animateColor"), QStringLiteral("animateMotion"),
        QStringLiteral("animateTransform"), QStringLiteral("set")};
    return kAnimations.contains(name);
}

bool entitiesStayInside(const QXmlStreamEntityDeclarations& entities) {
    for (const QXmlStreamEntityDeclaration& entity : entities)
        if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty()) return false;
    return true;
}

// The reader set up as Qt SVG sets up its own.
struct Reading {
    explicit Reading(const QByteArray& document) : xml(document) {
        xml.setNamespaceProcessing(false);
    }
    QXmlStreamReader xml;
    int styles = 0;  // open <style> elements
    int open = 0;    // open elements
    bool root = true;
    bool ended = false;  // the root element is closed
};

Verdict step(Reading& r, Findings& found, Budget& budget, int depth) {
    QXmlStreamReader& xml = r.xml;
    switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return entitiesStayInside(xml.entityDeclarations()) ? Verdict::Clean
                                                                : Verdict::RefersToFiles;
        case QXmlStreamReader::ProcessingInstruction:
            // Qt SVG reads the style sheet such an instruction names.
            return xml.processingInstructionTarget().compare(QLatin1String("xml-stylesheet"),
                                                             Qt::CaseInsensitive) == 0
                       ? Verdict::RefersToFiles
                       : Verdict::Clean;
        case QXmlStreamReader::StartElement: {
            const QStringView name = xml.name();
            if (r.root) {
                if (name != QLatin1String("svg")) return Verdict::NotReadable;
                found.width = xml.attributes().value(QLatin1String("width")).toString();
                found.height = xml.attributes().value(QLatin1String("height")).toString();
                r.root = false;
            }
            ++r.open;
            found.animated = found.animated || isAnimation(name);
            if (name.compare(QLatin1String("style"), Qt::CaseInsensitive) == 0) ++r.styles;
            return checkAttributes(name, xml.attributes(), budget, depth);
        }
        case QXmlStreamReader::EndElement:
            if (xml.name().compare(QLatin1String("style"), Qt::CaseInsensitive) == 0) --r.styles;
            r.ended = --r.open == 0;
            return Verdict::Clean;
        case QXmlStreamReader::Characters:
            return r.styles > 0 && !cssStaysInside(xml.text()) ? Verdict::RefersToFiles
                                                               : Verdict::Clean;
        default:
            return Verdict::Clean;
    }
}

}  // namespace

Findings Check(const QByteArray& document, Budget& budget, int depth) {
    Findings found;
    Reading reading(document);
    // To the end, or to an error past which no reader reads: after the
    // root's end only comments and instructions may stand, and an
    // instruction there could still name a style sheet.
    while (!reading.xml.atEnd()) {
        found.verdict = step(reading, found, budget, depth);
        if (found.verdict != Verdict::Clean) return found;
    }
    found.verdict = reading.ended ? Verdict::Clean : Verdict::NotReadable;
    return found;
}

std::optional<QByteArray> Still(const QByteArray& document) {
    Reading reading(document);
    QXmlStreamReader& xml = reading.xml;
    QByteArray still;
    QXmlStreamWriter out(&still);
    int open = 0;  // open elements
    bool ended = false;
    // Token by token; the declaration and the document type stay behind,
    // as the reader has already put every entity's text in its place.
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (isAnimation(xml.name())) {
                    xml.skipCurrentElement();
                    break;
                }
                ++open;
                out.writeStartElement(xml.qualifiedName().toString());
                for (const QXmlStreamAttribute& attribute : xml.attributes())
                    out.writeAttribute(attribute.qualifiedName().toString(),
                                       attribute.value().toString());
                break;
            case QXmlStreamReader::EndElement:
                out.writeEndElement();
                ended = --open == 0;
                break;
            case QXmlStreamReader::Characters:
                if (xml.isCDATA())
                    out.writeCDATA(xml.text().toString());
                else
                    out.writeCharacters(xml.text().toString());
                break;
            case QXmlStreamReader::Comment:
                out.writeComment(xml.text().toString());
                break;
            case QXmlStreamReader::ProcessingInstruction:
                out.writeProcessingInstruction(xml.processingInstructionTarget().toString(),
                                               xml.processingInstructionData().toString());
                break;
            case QXmlStreamReader::EntityReference:
                return std::nullopt;  // an entity the reader could not put in place
            default:
                break;
        }
    }
    // An error before the root's end is no drawing; one after it, where
    // no reader reads on, ends the text there.
    if (!ended) return std::nullopt;
    out.writeEndDocument();
    return still;
}

std::optional<QByteArray> Unpack(const QByteArray& packed, std::int64_t maxBytes, bool& tooLarge) {
    tooLarge = false;
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return std::nullopt;
    QByteArray out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    z.avail_in = static_cast<uInt>(packed.size());
    int result = Z_OK;
    char buffer[65536];
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - z.avail_out));
        if (out.size() > maxBytes) {
            tooLarge = true;
            break;
        }
        // A gzip file may hold several members, one after the other.
        if (result == Z_STREAM_END && z.avail_in > 0 && inflateReset(&z) == Z_OK) continue;
        if (result != Z_OK) break;
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END || tooLarge) return std::nullopt;
    return out;
}

std::optional<double> RootLength(const QString& length) {
    QStringView text = QStringView(length).trimmed();
    // Qt SVG takes a root's pt and pc as pixels.
    constexpr struct {
        const char* unit;
        double pixels;
    } kUnits[] = {{"px", 1}, {"pc", 1}, {"pt", 1}, {"mm", 3.543307}, {"cm", 35.43307}, {"in", 90}};
    double factor = 1;
    for (const auto& [unit, pixels] : kUnits)
        if (text.endsWith(QLatin1String(unit))) {
            text.chop(2);
            factor = pixels;
            break;
        }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value * factor;
}

}  // namespace SvgCheck

}  // namespace Player
