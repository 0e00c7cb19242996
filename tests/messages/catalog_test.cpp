#include "catalog.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using namespace Messages;

namespace {

using Messages::Language;

// Every code has its words in every catalog, and every fact a text names is
// one a message can carry: a misspelt name would reach the user in braces.
TEST(Catalog, EveryTextFillsInAllItsFacts) {
    Message message{.reason = {MessageCode::Missing, 0}, .subject = "a.png", .value = "x"};
    for (int k = 0; k < static_cast<int>(Fact::kCount); ++k) {
        const auto fact = static_cast<Fact>(k);
        if (fact >= Fact::Colour)
            message.facts.set(fact, QStringList{"a", "b"});
        else if (fact >= Fact::Radius)
            message.facts.set(fact, Decimal{1.5});
        else
            message.facts.set(fact, 2);
    }
    for (const Language language : {Language::German, Language::English}) {
        for (int code = 1; code < static_cast<int>(MessageCode::kCount); ++code) {
            message.code = static_cast<MessageCode>(code);
            const QString text = Messages::Render(message, language);
            EXPECT_FALSE(text.isEmpty()) << "code " << code;
            EXPECT_FALSE(text.contains('{')) << text.toStdString();
            if (language == Language::English) {
                EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[äöüß]"))))
                    << text.toStdString();
            }
        }
    }
}

// Numbers as each language writes them, and the noun that fits the count.
TEST(Catalog, NumbersAndNounsInTheLanguagesWay) {
    const auto say = [](Language language, qint64 frames, double start) {
        return Messages::Render({.code = MessageCode::PictureParameters,
                                 .subject = "k.png",
                                 .facts = {{Fact::Frames, frames},
                                           {Fact::Width, 64},
                                           {Fact::Height, 64},
                                           {Fact::Radius, Decimal{32.0, 2}},
                                           {Fact::Start, Decimal{start, 2}},
                                           {Fact::End, Decimal{0.0, 2}}}},
                                language);
    };
    EXPECT_EQ(say(Language::German, 1, -1.126),
              "k.png: 1 Einzelbild von 64 x 64 Pixeln, Radius 32,00, von -1,13 bis 0,00 Grad");
    EXPECT_EQ(say(Language::English, 1, -1.126),
              "k.png: 1 frame of 64 x 64 pixels, radius 32.00, from -1.13 to 0.00 degrees");
    EXPECT_EQ(say(Language::English, 2, -0.001),
              "k.png: 2 frames of 64 x 64 pixels, radius 32.00, from 0.00 to 0.00 degrees")
        << "minus zero is zero";
    EXPECT_EQ(Messages::DecimalText(Decimal{2.1259842f}, Language::German), "2,1259842")
        << "a 32-bit value in the fewest digits that give it back";
}

// A reason completes its sentence, the system's error in words; a list ends
// in the language's "or". (The window's own texts are checked where the
// window shows them.)
TEST(Catalog, ReasonsAndListsCompleteTheirSentences) {
    const struct {
        Message message;
        const char* text;
    } cases[] = {
        {{.code = MessageCode::CannotSave, .reason = SystemReason(ENOSPC), .subject = "a.bmp"},
         "Die Datei 'a.bmp' konnte nicht gespeichert werden: der Datenträger ist voll."},
        {{.code = MessageCode::UnsupportedPicture,
          .subject = "x.emf",
          .facts = {{Fact::Kinds, QStringList{"BMP", "JPEG", "WMF"}}}},
         "Die Datei 'x.emf' ist kein unterstütztes Bild (BMP, JPEG oder WMF)."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Messages::Render(c.message, Language::German), QString::fromUtf8(c.text));
}

// A name or a value that would speak to the terminal (move the cursor, wipe
// a line, start a command) is printed as ls -b prints it; every other one
// as it is, so that the window's texts stay as they were.
TEST(Catalog, NamesCannotSpeakToTheTerminal) {
    const struct {
        QString given;
        const char* shown;
    } cases[] = {
        {QStringLiteral("k\x1b[1A\x1b[2K\rfertig.png"), "k\\033[1A\\033[2K\\rfertig.png"},
        {QStringLiteral("a\tb\nc\x7f\x01"), "a\\tb\\nc\\177\\001"},
        {QStringLiteral("csi") + QChar(0x9B) + "2J", "csi\\302\\2332J"},
        // A byte of a name that is not UTF-8, as native_path.h keeps it.
        {QStringLiteral("kn") + QChar(0xDCF6) + "pf.bmp", "kn\\366pf.bmp"},
        {QString::fromUtf8("Knöpfe \\alt\\ \"2\" 🎛.png"), "Knöpfe \\alt\\ \"2\" 🎛.png"},
        {QStringLiteral(""), ""},
    };
    for (const auto& c : cases) {
        const QString shown = QString::fromUtf8(c.shown);
        EXPECT_EQ(Messages::Render({.code = MessageCode::CannotRead,
                                    .reason = {MessageCode::Missing, 0},
                                    .subject = c.given},
                                   Language::German),
                  QStringLiteral("Die Datei '%1' kann nicht gelesen werden: sie existiert nicht.")
                      .arg(shown));
        EXPECT_EQ(Messages::Render({.code = MessageCode::NotANumber,
                                    .subject = QStringLiteral("--frames"),
                                    .value = c.given},
                                   Language::English),
                  QStringLiteral("--frames expects a number, not '%1'").arg(shown));
    }
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
        EXPECT_EQ(Messages::CommandLineLanguage(), c.expected) << (c.lang ? c.lang : "(none)");
    }
}

}  // namespace
