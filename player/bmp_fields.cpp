#include "bmp_fields.h"

#include <QtEndian>
#include <array>
#include <bit>
#include <cstdlib>

namespace Player {

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

constexpr quint32 kCoreHeader = 12, kInfoHeader = 40;

}  // namespace

bool ShorterThanPixels(const QByteArray& file) {
    constexpr qint64 kFileHeader = 14;
    if (file.size() < kFileHeader + 4 || !file.startsWith("BM")) return false;
    const quint32 headerSize = at32(file, 14);
    const bool core = headerSize == kCoreHeader;
    if ((!core && headerSize < kInfoHeader) || file.size() < kFileHeader + headerSize) return false;
    const auto at16 = [&file](qsizetype at) {
        return qFromLittleEndian<quint16>(file.constData() + at);
    };
    const qint64 width = core ? at16(18) : static_cast<qint32>(at32(file, 18));
    const qint64 height = core ? at16(20) : static_cast<qint32>(at32(file, 22));
    const int bits = at16(core ? 24 : 28);
    const quint32 compression = core ? kPlainRgb : at32(file, 30);
    if (compression != kPlainRgb && compression != kBitFields && compression != kAlphaBitFields)
        return false;
    if (width <= 0 || height == 0 || bits < 1 || bits > 32) return false;
    // Every row is padded to whole 32-bit words; a lower bound of what the
    // file needs, leaving out the palette and masks.
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    const qint64 room = file.size() - kFileHeader - headerSize;
    return std::abs(height) > room / rowBytes;
}

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

}  // namespace Player
