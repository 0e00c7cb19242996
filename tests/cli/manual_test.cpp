// The manual pages and the completion as the tools that read them take them.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "option_table.h"
#include "usage_text.h"

using namespace Cli;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;

namespace {

const QString kDocs = QStringLiteral(TORVELINK_DOCS_DIR);

// groff reads both manual pages without a warning (an unescaped backslash or
// a line starting with a dot would give one, or a lost line).
TEST(Manual, PagesReadWithoutWarnings) {
    if (QStandardPaths::findExecutable("groff").isEmpty())
        GTEST_SKIP() << "groff is not installed (scripts/install-deps.sh installs it)";
    for (const char* page : {"/man/man1/torvelink-cli.1", "/man/de/man1/torvelink-cli.1"}) {
        QProcess groff;
        groff.start("groff", {"-k", "-man", "-Tutf8", "-ww", "-P-cbou", kDocs + page});
        ASSERT_TRUE(groff.waitForFinished(20000));
        EXPECT_EQ(groff.exitCode(), 0);
        EXPECT_EQ(groff.readAllStandardError(), "") << page;
        const QString text = QString::fromUtf8(groff.readAllStandardOutput());
        EXPECT_TRUE(text.contains("--background COLOUR")) << page << "\n" << text.toStdString();
    }
}

// What bash offers after a word typed so far.
QStringList completions(const QString& line) {
    QProcess bash;
    bash.start("bash", {"-c",
                        "source \"$1\"; COMP_WORDS=($2); COMP_CWORD=$(( ${#COMP_WORDS[@]} - "
                        "1 )); [[ \"$2\" == *' ' ]] && COMP_WORDS+=('') && COMP_CWORD=$(( "
                        "COMP_CWORD + 1 )); _torvelink_cli; printf '%s\\n' \"${COMPREPLY[@]}\"",
                        "bash", kDocs + "/completion/torvelink-cli", line});
    bash.waitForFinished(10000);
    return QString::fromUtf8(bash.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(Manual, CompletionOffersOptionsAndTheirWords) {
    EXPECT_TRUE(completions("torvelink-cli --form").contains("--format"));
    EXPECT_EQ(completions("torvelink-cli k.png --format "), (QStringList{"png", "bmp"}));
    EXPECT_TRUE(completions("torvelink-cli --ver").contains("--vertical"));
}

// Every option of the table reaches the help, both manual pages and the
// completion; an option of words completes with exactly its words.
TEST(Manual, EveryOptionReachesTheHelpTheManualAndTheCompletion) {
    const QString help = Cli::UsageText(Messages::Language::English);
    QString pages;
    for (const char* page : {"/man/man1/torvelink-cli.1", "/man/de/man1/torvelink-cli.1"}) {
        QFile file(kDocs + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page;
        pages += QString::fromUtf8(file.readAll());
    }
    const QStringList all = completions("torvelink-cli -");
    for (const Plan::OptionRow& row : Plan::OptionTable()) {
        if (row.help == MessageCode::None) continue;
        const QString name = QString::fromLatin1(row.name);
        EXPECT_TRUE(help.contains("  " + name + ' ')) << row.name;
        EXPECT_EQ(pages.count("\\fB" + QString(name).replace('-', "\\-") + "\\fR"), 2) << row.name;
        EXPECT_TRUE(all.contains(name)) << row.name;
        if (row.kind == Plan::ValueKind::Word) {
            EXPECT_EQ(completions("torvelink-cli k.png " + name + ' '), row.choices()) << row.name;
        }
    }
}

}  // namespace
