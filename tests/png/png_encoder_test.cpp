#include "png_encoder.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

#include "byte_sink.h"
#include "deflate_pieces.h"
#include "fixtures.h"
#include "png_filter.h"

using namespace Engine;
using namespace Png;

namespace {

using Bytes = std::vector<uint8_t>;

// Rows in which every filter wins somewhere: small signed values (None), ramps along
// the row (Sub), rows repeating the one above (Up), blends (Average), edges
// moving down the picture, planes (Paeth), and grain.
Bytes mixedPicture(int32_t width, int32_t height, int bpp, uint32_t seed) {
    Bytes p(static_cast<std::size_t>(width * height * bpp));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int c = 0; c < bpp; ++c) {
                const uint32_t h =
                    fixtures::hashByte(seed + static_cast<uint32_t>((y * width + x) * 4 + c));
                int v = 0;
                switch ((y / 3) % 7) {
                    case 0:
                        v = static_cast<int>(h % 5) - 2;  // near zero: None
                        break;
                    case 1:
                        v = x * 3 + c;
                        break;
                    case 2:
                        v = (x / 4) * 17 + c;
                        break;
                    case 3: {
                        const std::size_t at = static_cast<std::size_t>((y * width + x) * bpp + c);
                        const int left = x > 0 ? p[at - static_cast<std::size_t>(bpp)] : 0;
                        const int up = y > 0 ? p[at - static_cast<std::size_t>(width * bpp)] : 0;
                        v = (left + up) / 2 + 1;
                        break;
                    }
                    case 4:
                        v = x > y ? 200 : 30 + c;
                        break;
                    case 5:
                        v = x * 2 + y * 5;
                        break;
                    default:
                        v = static_cast<int>(h);
                        break;
                }
                p[static_cast<std::size_t>((y * width + x) * bpp + c)] = static_cast<uint8_t>(v);
            }
    return p;
}

Bytes inflateZlib(const Bytes& stream, std::size_t expected) {
    Bytes out(expected + 1);
    uLongf size = out.size();
    if (uncompress(out.data(), &size, stream.data(), stream.size()) != Z_OK) return {};
    out.resize(size);
    return out;
}

struct PngParts {
    Bytes idat;                      // the image data chunks' bytes, joined
    std::vector<std::string> types;  // every chunk's type, in order
    bool crcsHold = true;
};

PngParts chunksOf(const Bytes& png) {
    PngParts parts;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t size = uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 |
                              uint32_t{png[at + 2]} << 8 | png[at + 3];
        const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        const uint8_t* data = &png[at + 8];
        const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[at + 4], size + 4));
        const uint8_t* c = data + size;
        parts.crcsHold &=
            crc == (uint32_t{c[0]} << 24 | uint32_t{c[1]} << 16 | uint32_t{c[2]} << 8 | c[3]);
        parts.types.push_back(type);
        if (type == "IDAT") parts.idat.insert(parts.idat.end(), data, data + size);
        at += 12 + size;
    }
    return parts;
}

// The picture fed in bands of the given row counts (zeros included), and the
// file's bytes.
Bytes encode(const Bytes& bgr, int32_t width, int32_t height, bool alpha,
             const std::vector<int32_t>& bands, PngCompression level, unsigned threads = 0) {
    MemorySink sink;
    PngEncoder encoder(sink, {width, height, alpha}, {level, threads, 1});
    EXPECT_TRUE(encoder.begin());
    const std::size_t row = static_cast<std::size_t>(width) * (alpha ? 4 : 3);
    int32_t first = 0;
    for (int32_t count : bands) {
        const PngRows rows = encoder.rows(first, count);
        if (rows.bits == nullptr) return {};
        EXPECT_EQ(rows.stride, row);
        std::memcpy(rows.bits, bgr.data() + static_cast<std::size_t>(first) * row,
                    static_cast<std::size_t>(count) * row);
        if (!encoder.rowsFilled(first, count)) return {};
        first += count;
    }
    return encoder.finish() ? sink.bytes : Bytes{};
}

// Qt's reader, as blue-green-red(-opacity) bytes.
Bytes readByQt(const Bytes& png, bool alpha) {
    QImage image = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
    image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    Bytes out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            out.insert(out.end(), {static_cast<uint8_t>(qBlue(p)), static_cast<uint8_t>(qGreen(p)),
                                   static_cast<uint8_t>(qRed(p))});
            if (alpha) out.push_back(static_cast<uint8_t>(qAlpha(p)));
        }
    return out;
}

// pngcheck's verdict, where it is installed. Not under ThreadSanitizer: it
// loses track of locks once Qt has started a process, and then reports
// races that are none.
std::optional<bool> pngcheckPasses(const Bytes& png) {
#if defined(__SANITIZE_THREAD__)
    if (!png.empty()) return std::nullopt;
#endif
    const QString program = QStandardPaths::findExecutable("pngcheck");
    if (program.isEmpty()) return std::nullopt;
    QTemporaryDir dir;
    QFile file(dir.filePath("strip.png"));
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<qint64>(png.size()));
    file.close();
    QProcess check;
    check.start(program, {"-q", file.fileName()});
    check.waitForFinished();
    return check.exitCode() == 0;
}

struct Case {
    int32_t width, height;
    bool alpha;
    std::vector<int32_t> bands;
};

// Odd band counts, one band, bands of one row, empty bands among and after
// the others; every level (Sub only, chosen filters, filters tried). The
// joined stream is one zlib stream, every filter type occurs, and the pixels
// come back exactly through Qt's reader; pngcheck passes the file.
TEST(PngEncoder, JoinedStreamDecodesToTheSamePixels) {
    const Case cases[] = {
        {37, 61, false, {61}},
        {37, 61, true, {7, 7, 7, 7, 7, 7, 7, 7, 5}},
        {50, 36, false, {1, 2, 3, 0, 5, 8, 13, 4, 0, 0}},
        {1, 18, true, std::vector<int32_t>(18, 1)},
        {129, 40, true, {11, 0, 29, 0}},
    };
    std::set<int> smallTypes;  // "small" tries the rows' own filters on each band
    for (const Case& c : cases)
        for (auto level : {PngCompression::Fast, PngCompression::Default, PngCompression::Small}) {
            const int bpp = c.alpha ? 4 : 3;
            const Bytes pixels = mixedPicture(c.width, c.height, bpp, 7);
            const Bytes png = encode(pixels, c.width, c.height, c.alpha, c.bands, level);
            const auto what = ::testing::Message()
                              << c.width << "x" << c.height << " alpha " << c.alpha << " bands "
                              << c.bands.size() << " level " << static_cast<int>(level);
            ASSERT_FALSE(png.empty()) << what;
            const PngParts parts = chunksOf(png);
            EXPECT_TRUE(parts.crcsHold) << what;
            EXPECT_EQ(parts.types.front(), "IHDR") << what;
            EXPECT_EQ(parts.types.back(), "IEND") << what;
            const std::size_t line = 1 + static_cast<std::size_t>(c.width * bpp);
            const Bytes filtered =
                inflateZlib(parts.idat, line * static_cast<std::size_t>(c.height));
            ASSERT_EQ(filtered.size(), line * static_cast<std::size_t>(c.height)) << what;
            for (int32_t y = 0; level == PngCompression::Small && y < c.height; ++y)
                smallTypes.insert(filtered[static_cast<std::size_t>(y) * line]);
            EXPECT_EQ(readByQt(png, c.alpha), pixels) << what;
            if (const auto passes = pngcheckPasses(png)) {
                EXPECT_TRUE(*passes) << what;
            }
        }
    EXPECT_EQ(smallTypes, (std::set<int>{0, 1, 2, 3, 4}));
}

// Noise leaves "Sub" for the rows' own filters (and the fast engine), and
// still comes back exactly.
TEST(PngEncoder, NoiseGetsItsOwnFiltersAndStaysExact) {
    const int32_t w = 256, h = 96;
    Bytes noise(static_cast<std::size_t>(w * h * 4));
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = fixtures::hashByte(static_cast<uint32_t>(i));
    const Bytes png = encode(noise, w, h, true, {40, 56}, PngCompression::Default);
    ASSERT_FALSE(png.empty());
    const std::size_t line = 1 + static_cast<std::size_t>(w * 4);
    const Bytes filtered = inflateZlib(chunksOf(png).idat, line * h);
    ASSERT_EQ(filtered.size(), line * h);
    std::set<int> types;
    for (int32_t y = 0; y < h; ++y) types.insert(filtered[static_cast<std::size_t>(y) * line]);
    EXPECT_GT(types.size(), 1u);
    EXPECT_EQ(readByQt(png, true), noise);
}

// A sink that fails at its n-th byte: in the header, in the image data
// (while other bands are still being compressed), or in the end.
class FailingSink final : public ByteSink {
public:
    explicit FailingSink(std::size_t failAt) : left_(failAt) {}
    bool write(const uint8_t*, std::size_t size) override {
        if (size > left_) return fail(ENOSPC);
        left_ -= size;
        return true;
    }

private:
    std::size_t left_;
};

TEST(PngEncoder, AFailingSinkStopsItAndIsNamed) {
    const int32_t w = 200, h = 300;
    const Bytes pixels = mixedPicture(w, h, 4, 3);
    MemorySink whole;
    {
        PngEncoder encoder(whole, {w, h, true}, {PngCompression::Default, 2, 1});
        ASSERT_TRUE(encoder.begin());
        for (int32_t y = 0; y < h; ++y) {
            std::memcpy(encoder.rows(y, 1).bits, &pixels[static_cast<std::size_t>(y * w * 4)],
                        w * 4);
            ASSERT_TRUE(encoder.rowsFilled(y, 1));
        }
        ASSERT_TRUE(encoder.finish());
    }
    for (std::size_t failAt :
         {std::size_t{10}, std::size_t{40}, whole.bytes.size() / 2, whole.bytes.size() - 8}) {
        FailingSink sink(failAt);
        PngEncoder encoder(sink, {w, h, true}, {PngCompression::Default, 2, 1});
        bool going = encoder.begin();
        for (int32_t y = 0; going && y < h; ++y) {
            const PngRows rows = encoder.rows(y, 1);
            going = rows.bits != nullptr;
            if (going) {
                std::memcpy(rows.bits, &pixels[static_cast<std::size_t>(y * w * 4)], w * 4);
                going = encoder.rowsFilled(y, 1);
            }
        }
        EXPECT_FALSE(going && encoder.finish()) << "failing at byte " << failAt;
        EXPECT_EQ(encoder.failure(), PngEncoder::Failure::Sink) << "failing at byte " << failAt;
    }
}

// Rows missing at the end, skipped, given twice, handed back in another
// order or in other numbers than lent would make another picture than the
// one meant, or read past the band: no file.
TEST(PngEncoder, RowsMissingOrOutOfOrderAreNoFile) {
    struct Step {
        bool lend;  // else: hand back
        int32_t first, count;
    };
    const std::vector<Step> cases[] = {
        {{true, 0, 3}, {false, 0, 3}},                               // row 3 missing
        {{true, 0, 2}, {false, 0, 2}, {true, 3, 2}, {false, 3, 2}},  // row 2 skipped
        {{true, 0, 2}, {false, 0, 2}, {true, 0, 2}, {false, 0, 2}},  // rows 0 and 1 twice
        {{true, 0, 2}, {true, 2, 2}, {false, 2, 2}, {false, 0, 2}},  // the later band first
        {{true, 0, 2}, {false, 0, 4}, {true, 4, 0}, {false, 4, 0}},  // more than were lent
    };
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        MemorySink sink;
        PngEncoder encoder(sink, {4, 4, false}, {PngCompression::Fast, 1, 1});
        ASSERT_TRUE(encoder.begin());
        for (const Step& step : cases[k]) {
            if (!step.lend) {
                encoder.rowsFilled(step.first, step.count);
                continue;
            }
            const PngRows rows = encoder.rows(step.first, step.count);
            if (rows.bits != nullptr)
                std::memset(rows.bits, 9, static_cast<std::size_t>(step.count) * rows.stride);
        }
        EXPECT_FALSE(encoder.finish()) << "case " << k;
        EXPECT_EQ(encoder.failure(), PngEncoder::Failure::Encoder) << "case " << k;
    }
}

// Pieces from both engines, of any size and any number (empty ones too),
// make one stream that zlib inflates, with the checksum of the whole.
TEST(DeflatePieces, JoinIntoOneZlibStream) {
    const Bytes data = mixedPicture(300, 120, 3, 11);
    const std::vector<std::vector<std::size_t>> splits = {
        {data.size()}, {1, 0, 4095, 70000, 0}, {50000, 50000, 7, 0}, {0, 0, data.size()}};
    const std::pair<Deflate::Engine, int> engines[] = {
        {Deflate::Engine::Isal, 0},       {Deflate::Engine::Isal, 1},
        {Deflate::Engine::Isal, 3},       {Deflate::Engine::Libdeflate, 0},
        {Deflate::Engine::Libdeflate, 1}, {Deflate::Engine::Libdeflate, 6},
        {Deflate::Engine::Libdeflate, 12}};
    for (const auto& [engine, level] : engines)
        for (const auto& split : splits) {
            auto encoder = Deflate::PieceEncoder::Make(engine, level);
            ASSERT_TRUE(encoder);
            const auto head = Deflate::StreamHead(2);
            Bytes stream(head.begin(), head.end());
            uint32_t adler = 1;
            std::size_t at = 0;
            for (std::size_t k = 0; k < split.size(); ++k) {
                const std::size_t n =
                    k + 1 == split.size() ? data.size() - at : std::min(split[k], data.size() - at);
                Deflate::Buffer piece;
                ASSERT_EQ(encoder->encode(data.data() + at, n, piece), Deflate::Outcome::Done);
                stream.insert(stream.end(), piece.bytes.get(), piece.bytes.get() + piece.size);
                adler = Deflate::CombineAdler32(adler, Deflate::Adler32(1, data.data() + at, n), n);
                at += n;
            }
            const auto tail = Deflate::StreamTail(adler);
            stream.insert(stream.end(), tail.begin(), tail.end());
            EXPECT_EQ(inflateZlib(stream, data.size()), data)
                << "engine " << static_cast<int>(engine) << " level " << level << " pieces "
                << split.size();
        }
}

// Whole streams of stored, fixed-code and dynamic-code blocks (zlib's own,
// not only libdeflate's) become pieces; anything else is refused.
TEST(DeflatePieces, ContinueStreamFindsTheFinalBlockOfEveryKind) {
    const Bytes data = mixedPicture(90, 40, 4, 5);
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY})
        for (int level : {0, 1, 9}) {
            z_stream z{};
            ASSERT_EQ(deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy), Z_OK);
            Bytes whole(deflateBound(&z, data.size()) + 5);
            z.next_in = const_cast<Bytef*>(data.data());
            z.avail_in = static_cast<uInt>(data.size());
            z.next_out = whole.data();
            z.avail_out = static_cast<uInt>(whole.size() - 5);
            ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
            const std::size_t size = z.total_out;
            deflateEnd(&z);
            const std::size_t piece = Deflate::ContinueStream(whole.data(), size);
            ASSERT_GT(piece, size) << "strategy " << strategy << " level " << level;
            whole.resize(piece);
            // The piece twice: the first must no longer end the stream.
            const auto head = Deflate::StreamHead(0);
            Bytes stream(head.begin(), head.end());
            stream.insert(stream.end(), whole.begin(), whole.end());
            stream.insert(stream.end(), whole.begin(), whole.end());
            const uint32_t one = Deflate::Adler32(1, data.data(), data.size());
            const auto tail = Deflate::StreamTail(Deflate::CombineAdler32(one, one, data.size()));
            stream.insert(stream.end(), tail.begin(), tail.end());
            Bytes twice = data;
            twice.insert(twice.end(), data.begin(), data.end());
            EXPECT_EQ(inflateZlib(stream, twice.size()), twice)
                << "strategy " << strategy << " level " << level;
        }
    Bytes garbage = {0x07, 0xFF, 0x12, 0x34, 0, 0, 0, 0, 0};  // block type 3
    EXPECT_EQ(Deflate::ContinueStream(garbage.data(), 4), 0u);
    Bytes cut = {0x01, 0x10, 0x00, 0xEF, 0xFF, 'a', 0, 0, 0, 0, 0};  // stored, 16 bytes, 1 there
    EXPECT_EQ(Deflate::ContinueStream(cut.data(), 6), 0u);
}

// The vector loops give the plain loops' bytes and sums, at every length
// (the ends of rows are done apart) and for both pixel sizes.
TEST(PngFilters, VectorLoopsMatchThePlainOnes) {
    for (int bpp : {3, 4})
        for (std::size_t bytes :
             {std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{17}, std::size_t{20},
              std::size_t{63}, std::size_t{64}, std::size_t{333}}) {
            Bytes row(bytes), prior(bytes);
            for (std::size_t i = 0; i < bytes; ++i) {
                row[i] = fixtures::hashByte(static_cast<uint32_t>(i * 3 + bytes));
                prior[i] = fixtures::hashByte(static_cast<uint32_t>(i * 7 + 1000 + bytes));
            }
            for (int f = 0; f < PngFilters::kFilterCount; ++f) {
                Bytes vector(bytes), plain(bytes);
                const auto filter = static_cast<PngFilters::Filter>(f);
                PngFilters::FilterRow(filter, bpp, row.data(), prior.data(), bytes, vector.data());
                PngFilters::Scalar::FilterRow(filter, bpp, row.data(), prior.data(), bytes,
                                              plain.data());
                EXPECT_EQ(vector, plain) << "filter " << f << " bpp " << bpp << " bytes " << bytes;
            }
            uint64_t vector[5], plain[5];
            PngFilters::Sums(bpp, row.data(), prior.data(), bytes, vector);
            PngFilters::Scalar::Sums(bpp, row.data(), prior.data(), bytes, plain);
            EXPECT_TRUE(std::equal(vector, vector + 5, plain))
                << "bpp " << bpp << " bytes " << bytes;
            Bytes swapped = row;
            PngFilters::SwapRedBlue(swapped.data(), bytes / static_cast<std::size_t>(bpp), bpp);
            for (std::size_t p = 0; p + static_cast<std::size_t>(bpp) <= bytes;
                 p += static_cast<std::size_t>(bpp))
                EXPECT_EQ(swapped[p], row[p + 2])
                    << "bpp " << bpp << " pixel " << p / static_cast<std::size_t>(bpp);
        }
}

// A worked row: bytes 10 20 30 | 40 50 60 over 1 2 3 | 4 5 6, RGB.
TEST(PngFilters, WorkedRow) {
    const uint8_t row[6] = {10, 20, 30, 40, 50, 60}, prior[6] = {1, 2, 3, 4, 5, 6};
    const Bytes expected[5] = {{10, 20, 30, 40, 50, 60},
                               {10, 20, 30, 30, 30, 30},
                               {9, 18, 27, 36, 45, 54},
                               {10, 19, 29, 33, 38, 42},
                               {9, 18, 27, 30, 30, 30}};
    for (int f = 0; f < 5; ++f) {
        Bytes out(6);
        PngFilters::FilterRow(static_cast<PngFilters::Filter>(f), 3, row, prior, 6, out.data());
        EXPECT_EQ(out, expected[f]) << "filter " << f;
    }
    EXPECT_EQ(PngFilters::ChooseFilter(3, row, prior, 6), PngFilters::Filter::Paeth);
}

}  // namespace
