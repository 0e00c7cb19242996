#include "catalog.h"

#include <gtest/gtest.h>

namespace {

using Catalog::Language;

// Every code has its words in every catalog: a code added without them would
// reach the user as an empty line.
TEST(Catalog, EveryCodeHasItsText) {
    for (const Language language : {Language::German}) {
        for (int code = 1; code < static_cast<int>(MessageCode::kCount); ++code) {
            Message message{.code = static_cast<MessageCode>(code)};
            message.reason = {MessageCode::Missing, 0};
            EXPECT_FALSE(Catalog::Render(message, language).isEmpty()) << "code " << code;
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
         "Die Datei 'a.bmp' konnte nicht gespeichert werden: der Datenträger ist voll"},
        {{.code = MessageCode::UnsupportedPicture,
          .subject = "x.emf",
          .names = {"BMP", "JPEG", "WMF"}},
         "Die Datei 'x.emf' ist kein unterstütztes Bild (BMP, JPEG oder WMF)."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Catalog::Render(c.message, Language::German), QString::fromUtf8(c.text));
}

}  // namespace
