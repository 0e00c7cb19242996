// Writes the command line's manual pages and bash completion at build time:
//   torvelink-docs man en|de    the manual page in that language
//   torvelink-docs completion   the bash completion script
//   torvelink-docs schema       the JSON schema of a recipe
#include <QString>
#include <QTextStream>

#include <cstring>

#include "manual.h"
#include "recipe.h"

using namespace Messages;

int main(int argc, char** argv) {
    QTextStream out(stdout);
    if (argc == 3 && std::strcmp(argv[1], "man") == 0) {
        const bool german = std::strcmp(argv[2], "de") == 0;
        out << Cli::ManualPage(german ? Messages::Language::German : Messages::Language::English);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "schema") == 0) {
        out << Plan::RecipeSchema();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "completion") == 0) {
        out << Cli::BashCompletion();
        return 0;
    }
    return 2;
}
