#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "message.h"
#include "options.h"

namespace StripCli {

// The options, or the usage error (a message about the option as given).
using Parsed = std::variant<Options, Message>;
Parsed ParseArguments(const QStringList& arguments);

// A number written strictly: optional sign, decimal digits with an optional
// fraction, optional exponent. Nothing for anything else, or out of range.
std::optional<double> StrictNumber(const QString& text);

// The option nearest to a name that is none ("--frame" gives "--frames"):
// the only one it begins, or one at most two edits away; empty if none is.
QString NearestOption(const QString& name);

// The help, from the same table the arguments are read by.
QString UsageText();

// The limits every strip has, as the help and the manual state them.
Message UsageLimits();

}  // namespace StripCli
