// What the picture player adds to a picture's load: in a fresh process each
// time (as a run of the command line starts), a picture is loaded through
// Pictures::LoadPicture, which has the confined player decode it, and
// decoded here by Qt's readers as the loader did before the player, the
// reader's plug-ins loaded in either case. Then a batch of small pictures in
// one process, each way. Runs alternate, so that a busy moment of the
// machine falls on both; prints the median and the quartiles.
//
//   build/bench/picture_load [runs]
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "picture_io.h"

using namespace Pictures;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The old way: the file's bytes read, and decoded here.
bool decodedHere(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    return reader.canRead() && !reader.read().isNull();
}

bool throughPlayer(const QString& path) {
    return LoadPicture(path, 1024, {true, true}).status == LoadStatus::Loaded;
}

// The work in a child process, timed from the fork to its end.
double inChild(const std::function<bool()>& work) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) std::_Exit(work() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a load failed\n");
        std::exit(1);
    }
    return millisecondsSince(start);
}

double at(std::vector<double> times, int quarter) {
    std::sort(times.begin(), times.end());
    return times[static_cast<std::size_t>(quarter) * (times.size() - 1) / 4];
}

void row(const char* what, const std::vector<double>& here, const std::vector<double>& player,
         int pictures) {
    std::vector<double> added(here.size());
    for (std::size_t k = 0; k < here.size(); ++k) added[k] = (player[k] - here[k]) / pictures;
    std::printf("| %-22s | %8.1f | %8.1f | %8.1f | %8.1f | %8.1f |\n", what, at(here, 2),
                at(player, 2), at(added, 1), at(added, 2), at(added, 3));
}

QString saved(const QTemporaryDir& dir, const char* name, int side, const char* format) {
    QImage image(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, qRgba(x * 5 & 255, y * 7 & 255, (x ^ y) & 255, 128 + (x & 127)));
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!image.save(path, format)) std::exit(1);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the player is found beside this program
    const int runs = argc > 1 ? std::max(7, std::atoi(argv[1])) : 15;
    const QTemporaryDir dir;
    const struct {
        const char* what;
        QString path;
    } pictures[] = {
        {"BMP 45 x 45", saved(dir, "k.bmp", 45, "BMP")},
        {"JPEG 121 x 121", saved(dir, "k.jpg", 121, "JPEG")},
        {"PNG 256 x 256", saved(dir, "k.png", 256, "PNG")},
        {"ICO 32 x 32", saved(dir, "k.ico", 32, "ICO")},
        {"TIFF 121 x 121", saved(dir, "k.tif", 121, "TIFF")},
    };
    constexpr int kBatch = 20;
    std::printf("%d runs, milliseconds; added: per picture, 25 %% / median / 75 %%\n", runs);
    std::printf("| %-22s | %8s | %8s | %8s | %8s | %8s |\n", "picture", "here", "player", "25 %",
                "added", "75 %");
    for (const auto& picture : pictures) {
        std::vector<double> here, player;
        for (int k = 0; k < runs; ++k) {
            here.push_back(inChild([&] { return decodedHere(picture.path); }));
            player.push_back(inChild([&] { return throughPlayer(picture.path); }));
        }
        row(picture.what, here, player, 1);
    }
    std::vector<double> here, player;
    const QString& small = pictures[0].path;
    for (int k = 0; k < runs; ++k) {
        here.push_back(inChild([&] {
            bool ok = true;
            for (int n = 0; n < kBatch; ++n) ok = decodedHere(small) && ok;
            return ok;
        }));
        player.push_back(inChild([&] {
            bool ok = true;
            for (int n = 0; n < kBatch; ++n) ok = throughPlayer(small) && ok;
            return ok;
        }));
    }
    row("20 x BMP 45 x 45", here, player, kBatch);
}
