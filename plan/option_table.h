#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <variant>

#include "catalog.h"
#include "message.h"
#include "options.h"

namespace Plan {

// Every option of the command line, once, as a row that owns all of it: its
// names, how its value is read and what it sets, its line in the help, the
// options it excludes and the key a recipe gives it under. The parser, the
// help, the manual pages, the completion and the messages about a wrong
// value are all made from the rows.

enum class OptionId {
    For,
    Frames,
    Radius,
    Angle,
    Start,
    Sweep,
    End,
    Horizontal,
    Vertical,
    Layout,
    FirstNumber,
    Nearest,
    Routine,
    Oversample,
    MaxSize,
    Size,
    Scale,
    Scales,
    Square,
    Background,
    Under,
    Over,
    Motion,
    SlideFrom,
    SlideTo,
    FadeFrom,
    FadeTo,
    Arc,
    ArcTrack,
    ArcFrom,
    ArcEnds,
    Canvas,
    Format,
    Compression,
    Manifest,
    Side,
    Preview,
    Animation,
    Output,
    Depfile,
    ListOutputs,
    Watch,
    Embed,
    EmbedNamespace,
    Quiet,
    Verbose,
    Version,
    Help,
};

// How an option's value is read before the row takes it.
enum class ValueKind {
    Switch,  // no value
    Number,  // a number written strictly, within the row's range
    Word,    // one of the row's words (any case)
    Words,   // several of them, separated by commas
    Text,    // as it is: the row reads it, and says what is wrong with it
    File,    // a file's name, as it is
};

// The range a number must lie in, and how a number outside it is refused.
struct NumberRange {
    double low = 0.0;
    double high = 0.0;
    bool whole = false;
    bool aboveLow = false;                                        // low itself is out of range
    Messages::MessageCode refusal = Messages::MessageCode::None;  // None: any number
};

// An option's value as read: the number, the indexes of the words among the
// row's words, or the text as given.
struct OptionValue {
    double number = 0.0;
    std::vector<int> words;
    QString text;
};

struct OptionRow;
// Sets the options from the value; a message when the value cannot be taken.
using ApplyValue = std::optional<Messages::Message> (*)(Options&, const OptionValue&,
                                                        const OptionRow&);

struct OptionRow {
    OptionId id;
    const char* name;   // "--frames"
    const char* alias;  // another name it is known by, or nullptr
    // The key a recipe file gives the value under, or nullptr where a
    // recipe has no say (the help, the version, what is said).
    const char* key;
    ValueKind kind;
    // The value's placeholder in the help ("N"), nullptr for a switch; a
    // word of the catalog (placeholderWord) instead where it is a word.
    const char* placeholder;
    Messages::MessageCode placeholderWord;
    // Word and Words: the words, in the order the help gives them; Text: the
    // forms the value takes, for the help and the completion.
    QStringList (*choices)();
    NumberRange range;  // Number only
    ApplyValue apply;
    // What the option does given last with no value after it; nullptr: it
    // needs one.
    void (*alone)(Options&);
    Messages::MessageCode help;  // the option's line in the help; None: not shown
    // Further facts of its help line (defaults), beside its words and range.
    void (*helpFacts)(Messages::Facts&);
    // The options it cannot be given with (it may name itself).
    std::span<const OptionId> excludes;
    // It may be given again and again, each adding one more (a recipe gives
    // a list of them).
    bool repeats = false;
};

std::span<const OptionRow> OptionTable();
const OptionRow& RowOf(OptionId id);

// The option named so (its name or alias, without "=value"), or nullptr.
const OptionRow* FindOption(const QString& name);

// A value the row does not take (code: which way it is wrong), with the
// row's words and range as its facts.
Messages::Message RefusedValue(const OptionRow& row, Messages::MessageCode code,
                               const QString& value);

// The option's line in the help, with its facts (words, range, defaults).
Messages::Message HelpFor(const OptionRow& row);

// The options, or the usage error (a message about the option as given).
using Parsed = std::variant<Options, Messages::Message>;
// language: the user's, whose way of writing a decimal is read too
// (German "1,5" for 1.5). The arguments are laid over `base` (a recipe's
// options); givenIds, if given, learns which options they name.
Parsed ParseArguments(const QStringList& arguments,
                      Messages::Language language = Messages::Language::English,
                      const Options& base = {}, std::vector<OptionId>* givenIds = nullptr);

// Sets what the row sets from a value written as on the command line, or
// from a number; a message about the value (subject: the option) when the
// row does not take it.
std::optional<Messages::Message> SetFromText(Options& o, const OptionRow& row, const QString& text);
std::optional<Messages::Message> SetFromNumber(Options& o, const OptionRow& row, double number);

// A number written strictly: optional sign, decimal digits with an optional
// fraction, optional exponent. Nothing for anything else, or out of range.
std::optional<double> StrictNumber(const QString& text);

// The option nearest to a name that is none ("--frame" gives "--frames"):
// the only one it begins, or one at most two edits away; empty if none is.
QString NearestOption(const QString& name);

}  // namespace Plan
