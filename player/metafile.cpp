#include "metafile.h"

#include "metafile_protocol.h"

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

using namespace Pictures;

namespace Player {

namespace Metafile {

namespace {

constexpr double kDotsPerInch = 96.0;

int read16(const Bytes& data, std::size_t at) {
    return static_cast<std::int16_t>(data[at] | data[at + 1] << 8);
}
unsigned readU16(const Bytes& data, std::size_t at) {
    return static_cast<unsigned>(data[at] | data[at + 1] << 8);
}
std::uint32_t readU32(const Bytes& data, std::size_t at) {
    return readU16(data, at) | static_cast<std::uint32_t>(readU16(data, at + 2)) << 16;
}
void put16(Bytes& out, int value) {
    const auto u = static_cast<std::uint16_t>(value);
    out.push_back(static_cast<unsigned char>(u & 0xFF));
    out.push_back(static_cast<unsigned char>(u >> 8));
}

// libwmf's own allocations, counted against kMemoryBudget: a metafile that
// asks for more fails as out of memory instead of taking the machine's.
struct Budget {
    std::size_t used = 0;
    bool exceeded = false;
};

void* budgetMalloc(void* context, std::size_t size) {
    auto* budget = static_cast<Budget*>(context);
    void* mem = size <= kMemoryBudget - budget->used ? std::malloc(size) : nullptr;
    if (mem == nullptr) {
        budget->exceeded = true;
        return nullptr;
    }
    budget->used += malloc_usable_size(mem);
    return mem;
}

void budgetFree(void* context, void* mem) {
    if (mem == nullptr) return;
    auto* budget = static_cast<Budget*>(context);
    budget->used -= std::min(budget->used, malloc_usable_size(mem));
    std::free(mem);
}

void* budgetRealloc(void* context, void* mem, std::size_t size) {
    if (mem == nullptr) return budgetMalloc(context, size);
    auto* budget = static_cast<Budget*>(context);
    const std::size_t old = malloc_usable_size(mem);
    const std::size_t usedBefore = budget->used - std::min(budget->used, old);
    void* grown = size <= kMemoryBudget - usedBefore ? std::realloc(mem, size) : nullptr;
    if (grown == nullptr) {
        budget->exceeded = true;
        return nullptr;
    }
    budget->used = usedBefore + malloc_usable_size(grown);
    return grown;
}

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
    using MetafileProtocol::kBoxGrey;
    flood.color = wmfRGB{kBoxGrey, kBoxGrey, kBoxGrey};
    flood.type = FLOODFILLSURFACE;
    functions->flood_exterior(api, &flood);
}

struct Scanned {
    Api api;
    wmf_error_t error = wmf_E_None;
};

// A player over the bytes, scanned; the bytes must outlive it.
Scanned openScanned(Bytes& data, wmfD_Rect& box, Budget& budget) {
    wmfAPI* raw = nullptr;
    wmfAPI_Options options{};
    options.context = &budget;
    options.malloc = budgetMalloc;
    options.realloc = budgetRealloc;
    options.free = budgetFree;
    options.function = wmf_gd_function;
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL |
                                WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    const wmf_error_t created = wmf_api_create(&raw, flags, &options);
    if (created != wmf_E_None) {
        if (raw != nullptr) wmf_api_destroy(raw);
        return {nullptr, created};
    }
    Api api(raw);
    WMF_GD_GetData(raw)->type = wmf_gd_image;
    wmf_error_t error = wmf_mem_open(raw, data.data(), static_cast<long>(data.size()));
    if (error == wmf_E_None) error = wmf_scan(raw, 0, &box);
    if (error != wmf_E_None) return {nullptr, error};
    return {std::move(api), wmf_E_None};
}

// Whether libwmf takes a metafile that only ends: when it refuses even that,
// it cannot set itself up (it reads its font map when it scans).
bool playerStarts() {
    Bytes blank;
    for (int word : {1, 9, 0x0300, 12, 0, 0, 3, 0, 0}) put16(blank, word);
    for (int word : {3, 0, 0}) put16(blank, word);  // end record
    Budget budget;
    wmfD_Rect box{};
    return openScanned(blank, box, budget).api != nullptr;
}

Status failure(wmf_error_t error, const Budget& budget) {
    if (budget.exceeded || error == wmf_E_InsMem) return Status::OutOfMemory;
    return playerStarts() ? Status::NotReadable : Status::CannotStart;
}

// The box and units per inch of a placeable metafile's header.
struct PlaceableBox {
    int left, top, right, bottom, inch;
};

std::optional<PlaceableBox> placeableBox(const Bytes& data) {
    if (data.size() < 22 || readU32(data, 0) != MetafileProtocol::kPlaceableKey)
        return std::nullopt;
    PlaceableBox box{read16(data, 6), read16(data, 8), read16(data, 10), read16(data, 12),
                     static_cast<int>(readU16(data, 14))};
    if (box.inch == 0) return std::nullopt;
    return box;
}

std::optional<Size> placeableSize(const Bytes& data) {
    const auto box = placeableBox(data);
    if (!box) return std::nullopt;
    const auto pixels = [inch = box->inch](int from, int to) {
        return static_cast<int>(std::nearbyint(std::abs(to - from) * kDotsPerInch / inch));
    };
    return Size{pixels(box->left, box->right), pixels(box->top, box->bottom)};
}

// The metafile with two pixels set at the corners of its placeable box (the
// last unit inside it), just before its end record: scanning it finds the box
// in libwmf's drawing units, whatever mapping the metafile itself set up,
// joined with whatever the metafile draws outside it.
std::optional<Bytes> withFrameCorners(const Bytes& data, const PlaceableBox& box) {
    constexpr std::size_t kRecordsStart = 22 + 18;
    std::size_t at = kRecordsStart;
    while (at + 6 <= data.size()) {
        const std::uint32_t words = readU32(data, at);
        if (words == 3 && readU16(data, at + 4) == 0) break;  // end record
        if (words < 3 || words > data.size()) return std::nullopt;
        at += static_cast<std::size_t>(words) * 2;
    }
    if (at + 6 > data.size()) return std::nullopt;
    Bytes copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(at));
    for (const auto& [x, y] :
         {std::pair{box.left, box.top}, std::pair{box.right - 1, box.bottom - 1}}) {
        for (int word : {7, 0, 0x041F, 0, 0, y, x}) put16(copy, word);  // SETPIXEL, seven words
    }
    copy.insert(copy.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
    const std::uint32_t total = readU32(copy, 22 + 6) + 14;
    for (int k = 0; k < 4; ++k)
        copy[22 + 6 + static_cast<std::size_t>(k)] = (total >> 8 * k) & 0xFF;
    return copy;
}

// The picture's frame in libwmf's drawing units: the placeable box, so that
// the drawing keeps its place in it (widened where the drawing goes beyond
// it, so nothing drawn is lost); else what the scan found drawn.
wmfD_Rect drawingFrame(const Bytes& data, const wmfD_Rect& scanned, Budget& budget) {
    const auto box = placeableBox(data);
    if (!box) return scanned;
    auto copy = withFrameCorners(data, *box);
    if (!copy) return scanned;
    wmfD_Rect frame{};
    const Scanned framed = openScanned(*copy, frame, budget);
    return framed.api && frame.BR.x > frame.TL.x && frame.BR.y > frame.TL.y ? frame : scanned;
}

std::optional<Size> displaySize(const Bytes& data, wmfAPI* api) {
    if (auto size = placeableSize(data)) return size;
    unsigned int width = 0, height = 0;
    if (wmf_display_size(api, &width, &height, kDotsPerInch, kDotsPerInch) != wmf_E_None)
        return std::nullopt;
    return Size{static_cast<int>(width), static_cast<int>(height)};
}

// gd keeps 7 bits of transparency: 0 opaque, 127 clear.
std::uint32_t fromGd(int pixel) {
    const auto gd = static_cast<std::uint32_t>(pixel);
    const std::uint32_t clear = (gd >> 24) & 0x7F;
    const std::uint32_t alpha = clear == 0 ? 255 : (127 - clear) * 255 / 127;
    return alpha << 24 | (gd & 0xFFFFFF);
}

Outcome render(wmfAPI* api, const Bytes& data, wmfD_Rect box, Size size, Budget& budget) {
    wmf_gd_t* device = WMF_GD_GetData(api);
    box = drawingFrame(data, box, budget);
    device->bbox = box;
    device->width = static_cast<unsigned int>(size.width);
    device->height = static_cast<unsigned int>(size.height);
    PageHook hook;
    auto* functions = static_cast<wmfFunctionReference*>(api->function_reference);
    hook.layPage = functions->device_begin;
    api->user_data = &hook;
    functions->device_begin = layGreyPage;
    const wmf_error_t played = wmf_play(api, 0, &box);
    const int* pixels =
        device->gd_image != nullptr ? wmf_gd_image_pixels(device->gd_image) : nullptr;
    if (played != wmf_E_None || pixels == nullptr) return {failure(played, budget), size, {}};
    Outcome drawn{Status::Drawn, size, {}};
    drawn.pixels.resize(static_cast<std::size_t>(size.width) *
                        static_cast<std::size_t>(size.height));
    std::transform(pixels, pixels + drawn.pixels.size(), drawn.pixels.begin(), fromGd);
    return drawn;
}

}  // namespace

Outcome Play(const Bytes& bytes, int maxSide) {
    Bytes data = bytes;  // libwmf reads the bytes in place
    Budget budget;
    wmfD_Rect box{};
    const Scanned scanned = openScanned(data, box, budget);
    if (!scanned.api) return {failure(scanned.error, budget), {}, {}};
    const auto size = displaySize(data, scanned.api.get());
    if (!size) return {failure(wmf_E_BadFormat, budget), {}, {}};
    if (size->width <= 0 || size->height <= 0) return {Status::Empty, *size, {}};
    if (size->width > maxSide || size->height > maxSide) return {Status::TooLarge, *size, {}};
    return render(scanned.api.get(), data, box, *size, budget);
}

}  // namespace Metafile

}  // namespace Player
