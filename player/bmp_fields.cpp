#include "bmp_fields.h"

#include <QtEndian>
#include <array>
#include <bit>

namespace Pictures {

namespace BmpFields {

namespace {

constexpr quint32 kPlainRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

quint32 at32(const QByteArray& head, qsizetype at) {
    return qFromLittleEndian<quint32>(head.constData() + at);
}

// Red, green, blue and alpha masks; zero where the file has none.
std::array<quint32, 4> masks(const QByteArray& head) {
    if (head.size() < 54 || !head.startsWith("BM")) return {};
    const quint32 headerSize = at32(head, 14);
    const quint16 bits = qFromLittleEndian<quint16>(head.constData() + 28);
    const quint32 compression = at32(head, 30);
    if (headerSize < 40 || (bits != 16 && bits != 32)) return {};
    if (compression == kPlainRgb) {
        if (bits == 16) return {0x7C00, 0x03E0, 0x001F, 0};
        return {};
    }
    if (compression != kBitFields && compression != kAlphaBitFields) return {};
    // The masks follow a 40-byte header, or stand inside a longer one, at 54.
    if (head.size() < 66) return {};
    const bool alpha = compression == kAlphaBitFields || headerSize >= 56;
    return {at32(head, 54), at32(head, 58), at32(head, 62),
            alpha && head.size() >= 70 ? at32(head, 66) : 0};
}

// The channel's width when its mask is one run of 1 to 7 bits, else 0.
int shortWidth(quint32 mask) {
    if (mask == 0) return 0;
    const quint32 run = mask >> std::countr_zero(mask);
    const int width = std::popcount(run);
    return (run & (run + 1)) == 0 && width < 8 ? width : 0;
}

// Value as Qt gives it -> the full-range value. Qt keeps the field's bits at
// the top of the byte (shifted, or shifted and repeated), so the field's own
// value is the top bits; its bits repeated fill the byte.
std::array<uchar, 256> widening(int width) {
    std::array<uchar, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const int field = v >> (8 - width);
        int repeated = 0, bits = 0;
        for (; bits < 8; bits += width) repeated = repeated << width | field;
        table[static_cast<std::size_t>(v)] = static_cast<uchar>(repeated >> (bits - 8));
    }
    return table;
}

}  // namespace

QImage WidenChannels(const QImage& picture, const QByteArray& head) {
    const auto fields = masks(head);
    std::array<int, 4> widths{};
    bool any = false;
    for (std::size_t c = 0; c < 4; ++c) any |= (widths[c] = shortWidth(fields[c])) > 0;
    if (!any || picture.isNull()) return picture;
    const bool alpha = widths[3] > 0 && picture.hasAlphaChannel();
    QImage out = picture.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    std::array<std::array<uchar, 256>, 4> tables;
    for (std::size_t c = 0; c < 4; ++c) {
        if (widths[c] > 0) {
            tables[c] = widening(widths[c]);
        } else {
            for (int v = 0; v < 256; ++v)
                tables[c][static_cast<std::size_t>(v)] = static_cast<uchar>(v);
        }
    }
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(tables[0][qRed(p)], tables[1][qGreen(p)], tables[2][qBlue(p)],
                            alpha ? tables[3][qAlpha(p)] : qAlpha(p));
        }
    }
    return out;
}

}  // namespace BmpFields

}  // namespace Pictures
