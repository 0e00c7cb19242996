#include "manifest.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cstdlib>

#include "safe_file.h"
#include "texts.h"

namespace StripCli {

namespace {

// 2.1259842f reads back as 2.1259842, not as 2.125984191894531.
double shortest(float value) {
    char digits[32] = {};
    const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
    *result.ptr = '\0';
    return std::strtod(digits, nullptr);
}

}  // namespace

QByteArray ManifestText(const StripFacts& facts) {
    const bool horizontal = facts.orientation == StripOrientation::Horizontal;
    const QJsonObject manifest{
        {"file", facts.file},
        {"frames", facts.frames},
        {"frameWidth", facts.frameWidth},
        {"frameHeight", facts.frameHeight},
        {"orientation", horizontal ? "horizontal" : "vertical"},
        {"startAngle", shortest(facts.params.StartAngle)},
        {"stepAngle", shortest(facts.params.RotAngle)},
        {"radius", shortest(facts.params.RotRadius)},
        {"routine", facts.bilinear ? "bilinear" : "nearest"},
        {"alpha", facts.alpha},
    };
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented);
}

std::optional<QString> PendingManifest::Prepare(const StripFacts& facts) {
    const QByteArray text = ManifestText(facts);
    if (file_.open() && file_.write(text.constData(), static_cast<std::size_t>(text.size())))
        return std::nullopt;
    return failure();
}

std::optional<QString> PendingManifest::Commit() {
    if (file_.commit()) return std::nullopt;
    return failure();
}

std::optional<QString> PendingManifest::failure() {
    return Texts::CannotSave(QFileInfo(path_).fileName(), file_.reason());
}

}  // namespace StripCli
