#include "catalog.h"

namespace Catalog {

QString RenderGerman(const Message& message);

QString Render(const Message& message, Language language) {
    switch (language) {
        case Language::German:
            break;
    }
    return RenderGerman(message);
}

Language CommandLineLanguage() {
    return Language::German;
}

QString SignPadded(qint64 value) {
    return value < 0 ? QString::number(value) : QStringLiteral(" ") + QString::number(value);
}

}  // namespace Catalog
