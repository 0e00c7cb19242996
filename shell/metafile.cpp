#include "metafile.h"

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <memory>

namespace Metafile {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr double kDotsPerInch = 96.0;

struct ApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};
using Api = std::unique_ptr<wmfAPI, ApiDeleter>;

// libwmf's renderer lays a white page before it draws. The picture boxes show
// a picture on their own light grey, so the page is flooded with that grey
// right after it is laid, before the first drawing.
struct PageHook {
    void (*layPage)(wmfAPI*) = nullptr;
};

void layGreyPage(wmfAPI* api) {
    auto* hook = static_cast<PageHook*>(api->user_data);
    hook->layPage(api);
    if (api->err != wmf_E_None) return;
    auto* functions = static_cast<wmfFunctionReference*>(api->function_reference);
    wmfFlood_t flood{};
    flood.pt = WMF_GD_GetData(api)->bbox.TL;
    flood.color = wmfRGB{192, 192, 192};
    flood.type = FLOODFILLSURFACE;
    functions->flood_exterior(api, &flood);
}

// A player over the bytes, scanned; the bytes must outlive it.
Api openScanned(QByteArray& data, wmfD_Rect& box) {
    wmfAPI* raw = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&raw, flags, &options) != wmf_E_None) {
        if (raw != nullptr) wmf_api_destroy(raw);
        return nullptr;
    }
    Api api(raw);
    WMF_GD_GetData(raw)->type = wmf_gd_image;
    if (wmf_mem_open(raw, reinterpret_cast<unsigned char*>(data.data()), data.size()) !=
            wmf_E_None ||
        wmf_scan(raw, 0, &box) != wmf_E_None)
        return nullptr;
    return api;
}

// The box and units per inch of a placeable metafile's header.
struct PlaceableBox {
    int left, top, right, bottom, inch;
};

std::optional<PlaceableBox> placeableBox(const QByteArray& data) {
    if (data.size() < 22) return std::nullopt;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    if (qFromLittleEndian<quint32>(p) != kPlaceableKey) return std::nullopt;
    PlaceableBox box{qFromLittleEndian<qint16>(p + 6), qFromLittleEndian<qint16>(p + 8),
                     qFromLittleEndian<qint16>(p + 10), qFromLittleEndian<qint16>(p + 12),
                     qFromLittleEndian<quint16>(p + 14)};
    if (box.inch == 0) return std::nullopt;
    return box;
}

std::optional<QSize> placeableSize(const QByteArray& data) {
    const auto box = placeableBox(data);
    if (!box) return std::nullopt;
    const auto pixels = [inch = box->inch](int from, int to) {
        return static_cast<int>(std::nearbyint(std::abs(to - from) * kDotsPerInch / inch));
    };
    return QSize(pixels(box->left, box->right), pixels(box->top, box->bottom));
}

// The metafile with two pixels set at the corners of its placeable box (the
// last unit inside it), just before its end record: scanning it finds the box
// in libwmf's drawing units, whatever mapping the metafile itself set up,
// joined with whatever the metafile draws outside it.
std::optional<QByteArray> withFrameCorners(const QByteArray& data, const PlaceableBox& box) {
    constexpr int kRecordsStart = 22 + 18;
    qsizetype at = kRecordsStart;
    while (at + 6 <= data.size()) {
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + at);
        const auto words = qFromLittleEndian<quint32>(p);
        if (words == 3 && qFromLittleEndian<quint16>(p + 4) == 0) break;  // end record
        if (words < 3 || words > static_cast<quint32>(data.size())) return std::nullopt;
        at += static_cast<qsizetype>(words) * 2;
    }
    if (at + 6 > data.size()) return std::nullopt;
    QByteArray pixels;
    const auto put16 = [&pixels](int v) {
        const auto u = static_cast<quint16>(v);
        pixels.append(static_cast<char>(u & 0xFF)).append(static_cast<char>(u >> 8));
    };
    for (const auto& [x, y] :
         {std::pair{box.left, box.top}, std::pair{box.right - 1, box.bottom - 1}}) {
        put16(7), put16(0), put16(0x041F);  // SETPIXEL, seven words
        put16(0), put16(0), put16(y), put16(x);
    }
    QByteArray copy = data.left(at) + pixels + data.mid(at);
    auto* sizeField = reinterpret_cast<uchar*>(copy.data() + 22 + 6);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(sizeField) + 14, sizeField);
    return copy;
}

// The picture's frame in libwmf's drawing units: the placeable box, so that
// the drawing keeps its place in it (widened where the drawing goes beyond
// it, so nothing drawn is lost); else what the scan found drawn.
wmfD_Rect drawingFrame(const QByteArray& data, const wmfD_Rect& scanned) {
    const auto box = placeableBox(data);
    if (!box) return scanned;
    auto copy = withFrameCorners(data, *box);
    if (!copy) return scanned;
    wmfD_Rect frame{};
    const Api api = openScanned(*copy, frame);
    return api && frame.BR.x > frame.TL.x && frame.BR.y > frame.TL.y ? frame : scanned;
}

}  // namespace

bool LooksLikeMetafile(const QByteArray& head) {
    if (head.size() < 4) return false;
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    if (qFromLittleEndian<quint32>(p) == kPlaceableKey) return true;
    // A plain metafile header: type 1 (disk) or 2 (memory), nine words long.
    const auto type = qFromLittleEndian<quint16>(p), words = qFromLittleEndian<quint16>(p + 2);
    return (type == 1 || type == 2) && words == 9;
}

std::optional<QSize> DisplaySize(const QByteArray& bytes) {
    QByteArray data = bytes;
    wmfD_Rect box{};
    const Api api = openScanned(data, box);
    if (!api) return std::nullopt;
    if (auto size = placeableSize(data)) return size;
    unsigned int width = 0, height = 0;
    if (wmf_display_size(api.get(), &width, &height, kDotsPerInch, kDotsPerInch) != wmf_E_None)
        return std::nullopt;
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

QImage Render(const QByteArray& bytes, QSize size) {
    if (size.isEmpty()) return {};
    QByteArray data = bytes;
    wmfD_Rect box{};
    const Api api = openScanned(data, box);
    if (!api) return {};
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    box = drawingFrame(data, box);
    device->bbox = box;
    device->width = static_cast<unsigned int>(size.width());
    device->height = static_cast<unsigned int>(size.height());
    PageHook hook;
    auto* functions = static_cast<wmfFunctionReference*>(api->function_reference);
    hook.layPage = functions->device_begin;
    api->user_data = &hook;
    functions->device_begin = layGreyPage;
    if (wmf_play(api.get(), 0, &box) != wmf_E_None || device->gd_image == nullptr) return {};
    const int* pixels = wmf_gd_image_pixels(device->gd_image);
    if (pixels == nullptr) return {};
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const auto gd = static_cast<quint32>(pixels[y * size.width() + x]);
            // gd keeps 7 bits of transparency: 0 opaque, 127 clear.
            const int clear = static_cast<int>((gd >> 24) & 0x7F);
            const int alpha = clear == 0 ? 255 : (127 - clear) * 255 / 127;
            line[x] = qRgba(qRed(gd), qGreen(gd), qBlue(gd), alpha);
        }
    }
    return image;
}

}  // namespace Metafile
