#include "manifest.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cstdlib>

namespace StripFiles {

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
    const bool horizontal = facts.layout.kind() == StripLayout::Kind::Horizontal;
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

}  // namespace StripFiles
