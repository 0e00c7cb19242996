// The CSS rule beside a web strip, in a real browser: a sprite knob of its
// class shows exactly the frame that --frame (or --frame-column and
// --frame-row for a grid sheet) names.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "headless_chromium.h"
#include "picture_files.h"
#include "strip_cli.h"

using namespace Cli;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;

namespace {

TEST(SpriteRule, ShowsTheFrameItIsSetTo) {
    if (HeadlessChromium::Program().isEmpty())
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps.sh brings it)";
    QTemporaryDir dir;
    ASSERT_TRUE(picture_files::Distinct(21, 17).save(dir.filePath("knob.png")));
    const struct {
        QStringList args;
        QString strip, css, style;  // style: for frame i, its place in the sheet
        int columns;
    } cases[] = {
        {{"--for", "web", "-o", dir.filePath("v.png")}, "v.png", "v.css", "--frame: {i}", 1},
        {{"--side", "css", "--layout", "grid:4", "-o", dir.filePath("g.png")},
         "g.png",
         "g.css",
         "--frame-column: {column}; --frame-row: {row}",
         4},
    };
    HeadlessChromium browser;
    ASSERT_TRUE(browser.start({400, 300})) << browser.error().toStdString();
    for (const auto& c : cases) {
        QTextStream out, err;
        QString said;
        QTextStream e(&said);
        ASSERT_EQ(
            Cli::Run(QStringList{dir.filePath("knob.png"), "--frames", "9", "-q"} + c.args, out, e),
            Cli::kWritten)
            << said.toStdString();
        // Frames 0, 5 and 7 side by side, 30 pixels apart.
        QString page = "<!DOCTYPE html><link rel='stylesheet' href='" + c.css +
                       "'><style>body{margin:0;background:#fff} div{position:absolute;top:0}"
                       "</style>";
        for (const int i : {0, 5, 7})
            page += QStringLiteral("<div class='knob-knob' style='left:%1px; %2'></div>")
                        .arg(i * 30)
                        .arg(QString(c.style)
                                 .replace("{i}", QString::number(i))
                                 .replace("{column}", QString::number(i % c.columns))
                                 .replace("{row}", QString::number(i / c.columns)));
        QFile html(dir.filePath("page.html"));
        ASSERT_TRUE(html.open(QIODevice::WriteOnly));
        html.write(page.toUtf8());
        html.close();
        ASSERT_TRUE(browser.open(html.fileName())) << browser.error().toStdString();
        // The sprite's picture is loaded by the time the page has loaded.
        const QImage shot = browser.screenshot();
        const QImage strip = QImage(dir.filePath(c.strip)).convertToFormat(QImage::Format_RGB32);
        for (const int i : {0, 5, 7}) {
            const QImage frame = strip.copy(i % c.columns * 21, i / c.columns * 17, 21, 17);
            EXPECT_EQ(shot.copy(i * 30, 0, 21, 17), frame) << c.css.toStdString() << " frame " << i;
        }
    }
}

}  // namespace
