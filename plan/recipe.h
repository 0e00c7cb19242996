#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

#include "message.h"
#include "option_table.h"
#include "options.h"

namespace Plan {

// A knob described in a file: a JSON object whose keys are the options'
// long names without their dashes ("for": "juce", "frames": 129, "under":
// ["shadow.png"]), given as the command line would give them (a number as a
// number, a switch as true, a word or a text as a string, an option that may
// be given again as a list), and besides:
//   "picture": the picture that turns (or moves as "motion" says);
//   "layers":  the whole stack instead, bottom first, each an object with a
//              "file" or an "arc" ({"colour", "width", "radius", "track",
//              "from": "start"|"middle", "ends": "round"|"flat"}), "at": [x, y]
//              (its top-left corner; else centred), and at most one motion:
//              "turn": true or {"start", "end", "pivot": [x, y]}, "slide":
//              {"to": [x, y]} (from "at"), "fade": {"from", "to"};
//   "$schema": the schema an editor checks it with; not read.
// Files are named relative to the recipe's folder and may not leave it.
struct Recipe {
    Options options;  // the recipe's options, over the defaults
    // Every file it names, as it names them (relative to its folder): the
    // picture, the layers'. The options hold the same names.
    QStringList files;
};

// Reads a recipe (name: as the user named it, for messages). The options the
// command line gives itself (commandLine) are left out, and so are those
// they exclude: the command line wins. A message names the recipe and the
// key's path in it ("layers[2].turn.end") when a key is unknown, a value of
// the wrong type or one its option does not take, or a file lies outside the
// recipe's folder by its name ("../x.png", "/etc/x.png").
std::variant<Recipe, Messages::Message> ReadRecipe(const QByteArray& json, const QString& name,
                                                   Messages::Language language,
                                                   const std::vector<OptionId>& commandLine);

// Whether an argument names a recipe: its name ends in ".json".
bool IsRecipe(const QString& argument);

// The JSON schema of a recipe, from the option table: what an editor
// completes and checks a recipe with.
QByteArray RecipeSchema();

}  // namespace Plan
