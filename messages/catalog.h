#pragma once

#include <QString>

#include "message.h"

namespace Messages {

// Messages put into words. The window always speaks German; the command line
// speaks the language CommandLineLanguage() gives. A second language is one
// more catalog file and one more value here.

enum class Language { German, English };

// The message as a sentence. A lone "\r" stands where the window's message
// box breaks the line (a terminal shows a line break there).
QString Render(const Message& message, Language language = Language::German);

// The language of the command line's messages: German when the locale's
// language is German, English otherwise. The locale is the first of LC_ALL,
// LC_MESSAGES and LANG that is set, as the C library takes it.
Language CommandLineLanguage();

// A name or a value as the user gave it, safe to print on a terminal: each
// control character (C0, DEL, C1) and each byte of a file name that is not
// UTF-8 (native_path.h keeps it as U+DC80 to U+DCFF) written as ls -b
// writes it, \n, \t, ... or \033 in octal, byte by byte; a C1 control by
// its two UTF-8 bytes (U+009B: \302\233). Every other text comes back as it
// is, backslashes too. Render does this with every {subject} and {value}.
QString Printable(const QString& text);

// " 45" for 45, "-3" for -3: a number as captions and messages show it.
QString SignPadded(qint64 value);

// A decimal as the language writes it: "1.5" in English, "1,5" in German.
QString DecimalText(Decimal decimal, Language language);

// The command line's name, as its messages and help give it.
inline constexpr char kProgramName[] = "torvelink-cli";
// The program's name, as window titles and the manual give it.
inline constexpr char kProductName[] = "Quenwick Torvelink";

// Each language's texts: the message's sentence with its facts named in
// braces, for Render to fill in (see catalog.cpp for what a brace may say).
// One switch over every code, with no default, so that a code without its
// text does not compile.
QString GermanText(const Message& message);
QString EnglishText(const Message& message);
// The system's error numbers in words.
QString GermanSystemError(int error);
QString EnglishSystemError(int error);

}  // namespace Messages
