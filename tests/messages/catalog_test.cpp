#include "catalog.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

using Catalog::Language;

// Every code has its words in every catalog: a code added without them would
// reach the user as an empty line.
TEST(Catalog, EveryCodeHasItsText) {
    for (const Language language : {Language::German, Language::English}) {
        for (int code = 1; code < static_cast<int>(MessageCode::kCount); ++code) {
            Message message{.code = static_cast<MessageCode>(code)};
            message.reason = {MessageCode::Missing, 0};
            const QString text = Catalog::Render(message, language);
            EXPECT_FALSE(text.isEmpty()) << "code " << code;
            if (language == Language::English) {
                EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[äöüß]"))))
                    << text.toStdString();
            }
        }
    }
}

// The window's warnings break their lines with a lone carriage return, and
// numbers stand sign-padded; a reason completes its sentence.
TEST(Catalog, WindowTextsAsTheyStand) {
    const struct {
        Message message;
        const char* text;
    } cases[] = {
        {{.code = MessageCode::PictureTooLarge, .numbers = {121, 200, 150}},
         "Maximal erlaubt: 121 x 121 \rDieses Bild hat: 200 x 150"},
        {{.code = MessageCode::VerticalTooLarge},
         "Zu gross für Verikale Sequenz. \rReduziere die Einzelbilder."},
        {{.code = MessageCode::CannotRead,
          .reason = {MessageCode::Missing, 0},
          .subject = "Knopf.gif"},
         "Die Datei 'Knopf.gif' kann nicht gelesen werden: sie existiert nicht."},
        {{.code = MessageCode::CannotSave, .reason = SystemReason(ENOSPC), .subject = "a.bmp"},
         "Die Datei 'a.bmp' konnte nicht gespeichert werden: der Datenträger ist voll."},
        {{.code = MessageCode::UnsupportedPicture,
          .subject = "x.emf",
          .names = {"BMP", "JPEG", "WMF"}},
         "Die Datei 'x.emf' ist kein unterstütztes Bild (BMP, JPEG oder WMF)."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Catalog::Render(c.message, Language::German), QString::fromUtf8(c.text));
}

}  // namespace

namespace {

// The language follows the first of LC_ALL, LC_MESSAGES and LANG that is
// set, as the C library takes them.
TEST(Catalog, CommandLineLanguageFollowsTheLocale) {
    const struct {
        const char* all;
        const char* messages;
        const char* lang;
        Language expected;
    } cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", Language::German},
        {nullptr, nullptr, "de", Language::German},
        {nullptr, nullptr, "de_AT@euro", Language::German},
        {nullptr, nullptr, "en_US.UTF-8", Language::English},
        {nullptr, nullptr, "C.UTF-8", Language::English},
        {nullptr, nullptr, "dev", Language::English},
        {nullptr, nullptr, nullptr, Language::English},
        {nullptr, "de_CH.UTF-8", "en_GB.UTF-8", Language::German},
        {"en_US.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", Language::English},
        {"", "", "de_DE.UTF-8", Language::German},
    };
    for (const auto& c : cases) {
        const auto set = [](const char* name, const char* value) {
            value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
        };
        set("LC_ALL", c.all);
        set("LC_MESSAGES", c.messages);
        set("LANG", c.lang);
        EXPECT_EQ(Catalog::CommandLineLanguage(), c.expected) << (c.lang ? c.lang : "(none)");
    }
}

}  // namespace
