#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "build_rules.h"

namespace StripCli {

struct Options {
    QString picture;
    std::optional<double> frames;
    std::optional<double> radius;  // default: half the picture's width
    std::optional<double> angle;
    StripOrientation orientation = StripOrientation::Horizontal;
    bool nearest = false;
    int maxSize = kMaxPictureSide;
    QString output;  // default: beside the picture, by the export name rule
    bool help = false;
};

struct UsageError {
    QString message;
};

// Largest value of --max-size.
inline constexpr int kMaxMaxSize = 4096;

std::variant<Options, UsageError> ParseArguments(const QStringList& arguments);

// A number written strictly: optional sign, decimal digits with an optional
// fraction, optional exponent. Nothing for anything else, or out of range.
std::optional<double> StrictNumber(const QString& text);

QString UsageText();

}  // namespace StripCli
