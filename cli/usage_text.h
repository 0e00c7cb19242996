#pragma once

#include <QString>

#include "catalog.h"
#include "message.h"

namespace Cli {

// The command line's help, written from the option table and the catalog,
// as --help shows it and the manual page tells it.

// The help in the language given.
QString UsageText(Messages::Language language);

// The limits every strip has, as the help and the manual state them.
Messages::Message UsageLimits();

// The kinds of picture read, as the help's introduction names them.
Messages::Message UsageIntro();

// The text with its lines broken at the last space before `width`
// characters; line breaks it has stay.
QString Wrapped(const QString& text, qsizetype width);

}  // namespace Cli
