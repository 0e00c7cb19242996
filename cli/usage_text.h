#pragma once

#include <QString>

#include "catalog.h"
#include "message.h"

// The command line's help, written from the option table and the catalog,
// as --help shows it and the manual page tells it.
namespace StripCli {

// The help in the language given.
QString UsageText(Catalog::Language language);

// The limits every strip has, as the help and the manual state them.
Message UsageLimits();

// The kinds of picture read, as the help's introduction names them.
Message UsageIntro();

// The text with its lines broken at the last space before `width`
// characters; line breaks it has stay.
QString Wrapped(const QString& text, qsizetype width);

}  // namespace StripCli
