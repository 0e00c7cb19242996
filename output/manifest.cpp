#include "manifest.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cstdlib>

namespace StripFiles {

// 2.1259842f reads back as 2.1259842, not as 2.125984191894531.
double Shortest(float value) {
    char digits[32] = {};
    const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
    *result.ptr = '\0';
    return std::strtod(digits, nullptr);
}

QByteArray ManifestText(const StripFacts& facts) {
    const bool horizontal = facts.orientation == StripOrientation::Horizontal;
    const QJsonObject manifest{
        {"file", facts.file},
        {"frames", facts.frames},
        {"frameWidth", facts.frameWidth},
        {"frameHeight", facts.frameHeight},
        {"orientation", horizontal ? "horizontal" : "vertical"},
        {"startAngle", Shortest(facts.params.StartAngle)},
        {"stepAngle", Shortest(facts.params.RotAngle)},
        {"radius", Shortest(facts.params.RotRadius)},
        {"routine", facts.bilinear ? "bilinear" : "nearest"},
        {"alpha", facts.alpha},
    };
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented);
}

}  // namespace StripFiles
