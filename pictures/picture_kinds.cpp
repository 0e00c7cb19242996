#include "picture_kinds.h"

#include <array>

namespace Pictures {

namespace PictureKinds {

namespace {

struct Kind {
    const char* name;
    const char* ending;                  // the one ending the window's file list shows
    std::array<const char*, 2> formats;  // as Qt's readers name them; none for our own readers
    bool window;                         // the window reads it, not only the command line
};

constexpr Kind kKinds[] = {
    {"BMP", "bmp", {"bmp", "dib"}, true},    {"JPEG", "jpg", {"jpeg", "jpg"}, true},
    {"GIF", "gif", {"gif"}, true},           {"ICO", "ico", {"ico"}, true},
    {"CUR", "cur", {"cur"}, true},           {"WMF", "wmf", {}, true},
    {"PNG", "png", {"png"}, false},          {"WebP", "webp", {"webp"}, false},
    {"TIFF", "tif", {"tiff", "tif"}, false}, {"SVG", "svg", {}, false},
};

}  // namespace

QStringList Names(bool toolkitKinds) {
    QStringList names;
    for (const Kind& kind : kKinds)
        if (kind.window || toolkitKinds) names << QString::fromLatin1(kind.name);
    return names;
}

QString WindowFilePattern() {
    QStringList patterns;
    for (const Kind& kind : kKinds)
        if (kind.window) patterns << QStringLiteral("*.") + QLatin1String(kind.ending);
    return patterns.join(';');
}

bool ReadsFormat(const QByteArray& format, bool toolkitKinds) {
    for (const Kind& kind : kKinds) {
        if (!kind.window && !toolkitKinds) continue;
        for (const char* name : kind.formats)
            if (name != nullptr && format == name) return true;
    }
    return false;
}

QByteArrayList Formats(bool toolkitKinds) {
    QByteArrayList formats;
    for (const Kind& kind : kKinds) {
        if (!kind.window && !toolkitKinds) continue;
        for (const char* name : kind.formats)
            if (name != nullptr) formats << QByteArray(name);
    }
    return formats;
}

}  // namespace PictureKinds

}  // namespace Pictures
