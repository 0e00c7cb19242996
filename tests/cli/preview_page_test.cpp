// The preview page in a real browser: headless Chromium shows it, real keys,
// drags and wheel turns move the knob, and the knob's pixels in a screenshot
// must be the frame of the strip that the manifest's rule gives.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QTemporaryDir>

#include <map>

#include "headless_chromium.h"
#include "picture_files.h"
#include "preview_page.h"
#include "strip_cli.h"

using namespace Cli;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;

namespace {

// A strip as the page cuts it: frame i at column i % columns, row i / columns.
struct Strip {
    QImage image;
    QSize frame;
    int columns = 1;

    QImage frameAt(int i) const {
        return image.copy((i % columns) * frame.width(), (i / columns) * frame.height(),
                          frame.width(), frame.height());
    }
};

class PreviewPageInChromium : public ::testing::Test {
protected:
    QTemporaryDir dir;
    HeadlessChromium browser;
    int frames = 0;
    std::map<double, Strip> strips;  // by scale
    QJsonArray views;                // [x, y, scale] of each knob picture on the page

    void SetUp() override {
        if (HeadlessChromium::Program().isEmpty())
            GTEST_SKIP() << "chromium is not installed (scripts/install-deps.sh brings it)";
        ASSERT_TRUE(browser.start({900, 700})) << browser.error().toStdString();
    }

    void open(const QString& page) {
        ASSERT_TRUE(browser.open(page)) << browser.error().toStdString();
        views = browser
                    .evaluate(
                        "[...document.querySelectorAll('img.view')]"
                        ".map(i => [i.x, i.y, Number(i.dataset.scale)])")
                    .toArray();
    }

    QPoint knobCentre() const {
        const QSize frame = strips.at(1.0).frame;
        return {views[0][0].toInt() + frame.width() / 2, views[0][1].toInt() + frame.height() / 2};
    }

    // Every knob picture shows this frame (-1: none of the strip's, -2: more
    // than one alike), and the slider says so.
    void expectShown(int expected, const std::string& when) {
        const QImage shot = browser.screenshot();
        for (const QJsonValue view : views) {
            const Strip& strip = strips.at(view[2].toDouble());
            const QImage seen = shot.copy(QRect({view[0].toInt(), view[1].toInt()}, strip.frame));
            int shown = -1;
            for (int i = 0; i < frames; ++i)
                if (seen == strip.frameAt(i)) shown = shown == -1 ? i : -2;
            EXPECT_EQ(shown, expected)
                << when << ", picture at " << view[0].toInt() << "," << view[1].toInt();
        }
        const QJsonArray slider =
            browser
                .evaluate(
                    "(k => ['role', 'aria-valuemin', 'aria-valuemax', 'aria-valuenow']"
                    ".map(a => k.getAttribute(a)).concat([document.activeElement === k]))"
                    "(document.getElementById('knob'))")
                .toArray();
        const QJsonArray wanted{"slider", "0", QString::number(frames - 1),
                                QString::number(expected), true};
        EXPECT_EQ(slider, wanted) << when << ": " << QJsonDocument(slider).toJson().toStdString();
    }

    QString valueText() {
        return browser.evaluate("document.getElementById('knob').getAttribute('aria-valuetext')")
            .toString();
    }

    void drag(int dy) {
        const QPoint c = knobCentre();
        browser.mouse("mousePressed", c.x(), c.y());
        browser.mouse("mouseMoved", c.x(), c.y() + dy / 2);
        browser.mouse("mouseMoved", c.x(), c.y() + dy);
        browser.mouse("mouseReleased", c.x(), c.y() + dy);
    }
};

// Through the command line: a vertical strip of 24 frames and its page, in
// German as the command line speaks here. The knob has the focus when the
// page is loaded, so keys work at once.
TEST_F(PreviewPageInChromium, KeysDragAndWheelShowTheFrameOfTheValue) {
    ASSERT_TRUE(picture_files::Distinct(23, 19).save(dir.filePath("knob.png")));
    QString out, err;
    QTextStream o(&out), e(&err);
    ASSERT_EQ(Cli::Run({dir.filePath("knob.png"), "--vertical", "--frames", "24", "--start", "-135",
                        "--sweep", "270", "--format", "png", "--preview"},
                       o, e, false),
              0)
        << err.toStdString();
    frames = 24;
    strips[1.0] = {QImage(dir.filePath("knob_Seq_V.png")).convertToFormat(QImage::Format_RGB32),
                   {23, 19}};
    open(dir.filePath("knob_Seq_V.html"));
    ASSERT_EQ(views.size(), 2) << "the strip over a light and a dark ground";

    expectShown(0, "loaded");
    EXPECT_EQ(valueText(), QString::fromUtf8("Einzelbild 0, Winkel -135°, Wert 0,000"));
    const struct {
        const char* key;
        int code;
        int frame;
    } presses[] = {
        {"ArrowUp", 38, 1},   {"ArrowRight", 39, 2}, {"ArrowLeft", 37, 1}, {"ArrowDown", 40, 0},
        {"ArrowDown", 40, 0}, {"PageUp", 33, 2},     {"End", 35, 23},      {"ArrowUp", 38, 23},
        {"PageDown", 34, 21}, {"Home", 36, 0},
    };
    for (const auto& press : presses) {
        browser.key(press.key, press.code);
        expectShown(press.frame, press.key);
    }

    // Up by half the drag span: value 0.5 is frame round(11.5) = 12. A new
    // drag goes on from there; past the end it stays at the end.
    for (const auto& [dy, frame, text] :
         {std::tuple{-100, 12, "Einzelbild 12, Winkel 5,87°, Wert 0,500"},
          std::tuple{-150, 23, "Einzelbild 23, Winkel 135°, Wert 1,000"},
          std::tuple{300, 0, "Einzelbild 0, Winkel -135°, Wert 0,000"}}) {
        drag(dy);
        expectShown(frame, "dragged by " + std::to_string(dy));
        EXPECT_EQ(valueText(), QString::fromUtf8(text));
    }
    const QPoint c = knobCentre();
    for (const auto& [deltaY, frame] : {std::pair{-100, 1}, {50, 1}, {50, 0}}) {
        browser.wheel(c.x(), c.y(), deltaY);
        expectShown(frame, "wheel by " + std::to_string(deltaY));
    }
}

// A horizontal strip with a larger one beside it, both over both grounds;
// names that a URL must escape still find their files.
TEST_F(PreviewPageInChromium, EveryPictureShowsTheSameFrame) {
    const QImage strip = picture_files::Distinct(10 * 17, 13);
    const QImage larger =
        strip.scaled(strip.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_TRUE(strip.save(dir.filePath("knob #1.png")));
    ASSERT_TRUE(larger.save(dir.filePath("knob #1@2x.png")));
    frames = 10;
    strips = {{1.0, {strip, {17, 13}, 10}}, {2.0, {larger, {34, 26}, 10}}};
    Output::StripFacts facts;
    facts.name = "knob #1";
    facts.frames = 10;
    facts.startAngle = -135.0f;
    facts.stepAngle = 30.0f;
    facts.strips = {{"knob #1.png", 1.0, 17, 13, 170, 13, 6.5f},
                    {"knob #1@2x.png", 2.0, 34, 26, 340, 26, 13.0f}};
    QFile page(dir.filePath("knob.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(Output::PreviewPage(facts, Messages::Language::English));
    page.close();
    open(page.fileName());
    ASSERT_EQ(views.size(), 4);

    expectShown(0, "loaded");
    drag(-100);
    expectShown(5, "value 0.5: frame round(4.5)");
    EXPECT_EQ(valueText(), QString::fromUtf8("Frame 5, Angle 15°, Value 0.500"));
    browser.key("End", 35);
    expectShown(9, "End");
}

}  // namespace
