// The deflate engines and levels the PNG encoder can use, and its row filter
// rules, on the filtered rows of real strips: one thread, one band at a time
// as the encoder cuts them, speed and size per combination. The table in
// bench/README.md comes from this program, called by bench/png_timings.py.
//
//   png_engines STRIP.png... [--band-bytes N]
#include <zlib.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "deflate_pieces.h"
#include "png_encoder.h"
#include "png_filter.h"

using namespace Png;

namespace {

struct Picture {
    std::vector<uint8_t> rows;  // RGB or RGBA rows, as the encoder filters them
    int32_t width = 0, height = 0;
    int bpp = 3;
};

Picture load(const QString& path) {
    QImage image(path);
    const bool alpha = image.hasAlphaChannel();
    image = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    Picture p{{}, image.width(), image.height(), alpha ? 4 : 3};
    const auto line = static_cast<std::size_t>(p.width * p.bpp);
    p.rows.resize(line * static_cast<std::size_t>(p.height));
    for (int y = 0; y < p.height; ++y)
        std::memcpy(p.rows.data() + line * static_cast<std::size_t>(y), image.constScanLine(y),
                    line);
    return p;
}

// zlib, for comparison only: a band as raw deflate ending in a sync flush,
// as the encoder's pieces end.
std::size_t zlibPiece(int level, const uint8_t* in, std::size_t size, std::vector<uint8_t>& out) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    out.resize(deflateBound(&z, size) + 16);
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_SYNC_FLUSH);
    const std::size_t written = z.total_out;
    deflateEnd(&z);
    return written;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void measure(const char* name, const Picture& p, int64_t bandBytes) {
    const auto line = static_cast<std::size_t>(p.width * p.bpp);
    const auto bandRows = static_cast<int32_t>(
        std::clamp<int64_t>(bandBytes / static_cast<int64_t>(line), 1, p.height));
    const std::vector<uint8_t> zeros(line);
    const double megabytes = static_cast<double>(p.rows.size()) / 1e6;
    struct Rule {
        const char* name;
        PngFilters::Rule rule;
    };
    const Rule rules[] = {{"sub", PngFilters::Rule::Sub},
                          {"adaptive", PngFilters::Rule::Adaptive},
                          {"none", PngFilters::Rule::None}};
    for (const Rule& rule : rules) {
        std::vector<uint8_t> filtered((line + 1) * static_cast<std::size_t>(p.height));
        const auto start = std::chrono::steady_clock::now();
        for (int32_t y = 0; y < p.height; y += bandRows) {
            const int32_t count = std::min(bandRows, p.height - y);
            const uint8_t* first = p.rows.data() + line * static_cast<std::size_t>(y);
            PngFilters::FilterRows(rule.rule, p.bpp, first, static_cast<std::ptrdiff_t>(line),
                                   count, line, y == 0 ? zeros.data() : first - line,
                                   filtered.data() + (line + 1) * static_cast<std::size_t>(y));
        }
        const double filterSeconds = seconds(start);
        std::printf("%-12s %-9s %-12s %6.0f MB/s\n", name, rule.name, "filter only",
                    megabytes / filterSeconds);
        const std::pair<Deflate::Engine, int> engines[] = {
            {Deflate::Engine::Isal, 1},       {Deflate::Engine::Isal, 2},
            {Deflate::Engine::Isal, 3},       {Deflate::Engine::Libdeflate, 1},
            {Deflate::Engine::Libdeflate, 2}, {Deflate::Engine::Libdeflate, 4},
            {Deflate::Engine::Libdeflate, 6}, {Deflate::Engine::Libdeflate, 9},
            {Deflate::Engine::Libdeflate, 12}};
        for (const auto& [engine, level] : engines) {
            auto encoder = Deflate::PieceEncoder::Make(engine, level);
            Deflate::Buffer piece;
            std::size_t total = 0;
            const std::size_t band = (line + 1) * static_cast<std::size_t>(bandRows);
            const auto begin = std::chrono::steady_clock::now();
            for (std::size_t at = 0; at < filtered.size(); at += band) {
                piece.size = 0;
                encoder->encode(filtered.data() + at, std::min(band, filtered.size() - at), piece);
                total += piece.size;
            }
            const double s = seconds(begin);
            std::printf("%-12s %-9s %-12s %6.0f MB/s %11zu bytes\n", name, rule.name,
                        (std::string(engine == Deflate::Engine::Isal ? "isa-l " : "libdeflate ") +
                         std::to_string(level))
                            .c_str(),
                        megabytes / s, total);
        }
        for (int level : {1, 3, 6, 9}) {
            std::vector<uint8_t> out;
            std::size_t total = 0;
            const std::size_t band = (line + 1) * static_cast<std::size_t>(bandRows);
            const auto begin = std::chrono::steady_clock::now();
            for (std::size_t at = 0; at < filtered.size(); at += band)
                total += zlibPiece(level, filtered.data() + at,
                                   std::min(band, filtered.size() - at), out);
            std::printf("%-12s %-9s %-12s %6.0f MB/s %11zu bytes\n", name, rule.name,
                        ("zlib " + std::to_string(level)).c_str(), megabytes / seconds(begin),
                        total);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int64_t bandBytes = PngEncoder::kBandBytes;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--band-bytes") == 0 && k + 1 < argc) {
            bandBytes = std::stoll(argv[++k]);
            continue;
        }
        const Picture p = load(QString::fromLocal8Bit(argv[k]));
        if (p.rows.empty()) {
            std::fprintf(stderr, "cannot read %s\n", argv[k]);
            return 1;
        }
        std::string name = argv[k];
        name = name.substr(name.find_last_of('/') + 1);
        measure(name.c_str(), p, bandBytes);
    }
    return 0;
}
