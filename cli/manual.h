#pragma once

#include <QString>

#include "catalog.h"

namespace Cli {

// The command line's manual page and its bash completion, written from the
// same option table and catalog as the help, so that they cannot drift.

// The manual page, torvelink-cli(1), in troff's man macros.
QString ManualPage(Messages::Language language);

// A bash completion script for torvelink-cli: the options, the values of
// those that take a word (toolkits, formats, ...), file names otherwise.
QString BashCompletion();

}  // namespace Cli
