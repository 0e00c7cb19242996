#include "catalog.h"

#include <cstdlib>
#include <string_view>

namespace Catalog {

QString RenderGerman(const Message& message);
QString RenderEnglish(const Message& message);

QString Render(const Message& message, Language language) {
    switch (language) {
        case Language::German:
            return RenderGerman(message);
        case Language::English:
            return RenderEnglish(message);
    }
    return RenderEnglish(message);
}

Language CommandLineLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        // "de", "de_DE.UTF-8", "de_AT@euro": the language stands first.
        const std::string_view locale(value);
        const bool german = locale.substr(0, 2) == "de" &&
                            (locale.size() == 2 ||
                             std::string_view("_.@").find(locale[2]) != std::string_view::npos);
        return german ? Language::German : Language::English;
    }
    return Language::English;
}

QString SignPadded(qint64 value) {
    return value < 0 ? QString::number(value) : QStringLiteral(" ") + QString::number(value);
}

}  // namespace Catalog
