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
    QJsonValue orientation;          // the slider's aria-orientation; a knob has none

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

    // The page made from the facts, as a file of the name, opened.
    void openPage(const Output::StripFacts& facts, const QString& name) {
        QFile page(dir.filePath(name));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write(Output::PreviewPage(facts, Messages::Language::English));
        page.close();
        open(page.fileName());
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
                    "(k => ['role', 'aria-orientation', 'aria-valuemin', 'aria-valuemax',"
                    "'aria-valuenow']"
                    ".map(a => k.getAttribute(a)).concat([document.activeElement === k]))"
                    "(document.getElementById('knob'))")
                .toArray();
        const QJsonArray wanted{
            "slider", orientation, "0", QString::number(frames - 1), QString::number(expected),
            true};
        EXPECT_EQ(slider, wanted) << when << ": " << QJsonDocument(slider).toJson().toStdString();
    }

    QString valueText() {
        return browser.evaluate("document.getElementById('knob').getAttribute('aria-valuetext')")
            .toString();
    }

    void drag(int dy) { drag(knobCentre(), {0, dy}); }

    void drag(QPoint from, QPoint by) {
        browser.mouse("mousePressed", from.x(), from.y());
        browser.mouse("mouseMoved", from.x() + by.x() / 2, from.y() + by.y() / 2);
        browser.mouse("mouseMoved", from.x() + by.x(), from.y() + by.y());
        browser.mouse("mouseReleased", from.x() + by.x(), from.y() + by.y());
    }

    // A point of the n-th picture on the page, in its strip's pixels.
    QPoint at(int n, QPoint pixel) const {
        return {views[n][0].toInt() + pixel.x(), views[n][1].toInt() + pixel.y()};
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
    ASSERT_NO_FATAL_FAILURE(openPage(facts, "knob.html"));
    ASSERT_EQ(views.size(), 4);

    expectShown(0, "loaded");
    drag(-100);
    expectShown(5, "value 0.5: frame round(4.5)");
    EXPECT_EQ(valueText(), QString::fromUtf8("Frame 5, Angle 15°, Value 0.500"));
    browser.key("End", 35);
    expectShown(9, "End");
}

// Through the command line: a cap that slides up a track, 30 pixels over 16
// frames (2 pixels a frame). A drag that starts on the cap keeps it under the
// pointer; a drag across the axis moves nothing.
TEST_F(PreviewPageInChromium, AVerticalSliderFollowsThePointerAlongItsAxis) {
    ASSERT_TRUE(picture_files::Distinct(10, 6).save(dir.filePath("cap.png")));
    ASSERT_TRUE(picture_files::Distinct(16, 40).save(dir.filePath("track.png")));
    QString out, err;
    QTextStream o(&out), e(&err);
    ASSERT_EQ(Cli::Run({dir.filePath("cap.png"), "--under", dir.filePath("track.png"), "--motion",
                        "slide", "--slide-from", "3,32", "--slide-to", "3,2", "--canvas", "16,40",
                        "--frames", "16", "--horizontal", "--format", "png", "--preview"},
                       o, e, false),
              0)
        << err.toStdString();
    frames = 16;
    strips[1.0] = {
        QImage(dir.filePath("cap_Seq_H.png")).convertToFormat(QImage::Format_RGB32), {16, 40}, 16};
    orientation = "vertical";
    open(dir.filePath("cap_Seq_H.html"));
    ASSERT_EQ(views.size(), 2);

    expectShown(0, "loaded");
    EXPECT_EQ(valueText(), QString::fromUtf8("Einzelbild 0, Wert 0,000"));
    EXPECT_EQ(browser.evaluate("document.querySelector('.readout').textContent").toString(),
              QString::fromUtf8("Wert 0,000Einzelbild 0"));
    // The cap's middle at frame 0 is (8, 35); up by 10 is value 1/3, frame 5,
    // whose cap spans rows 22 to 27.
    drag(at(0, {8, 35}), {0, -10});
    expectShown(5, "dragged up by 10");
    drag(at(0, {8, 25}), {40, 0});
    expectShown(5, "dragged across");
    drag(at(0, {8, 25}), {0, -100});
    expectShown(15, "dragged past the top");
    EXPECT_EQ(valueText(), QString::fromUtf8("Einzelbild 15, Wert 1,000"));
    drag(at(0, {8, 5}), {0, 300});
    expectShown(0, "dragged past the bottom");
    for (const auto& [key, code, frame] : {std::tuple{"ArrowUp", 38, 1},
                                           {"ArrowUp", 38, 2},
                                           {"ArrowDown", 40, 1},
                                           {"End", 35, 15},
                                           {"ArrowDown", 40, 14},
                                           {"Home", 36, 0}}) {
        browser.key(key, code);
        expectShown(frame, key);
    }
}

// A slider whose picture moves left, its 40-pixel travel shown at 1x and 2x:
// on the larger picture a drag goes twice as far for the same value, and the
// left arrow is more.
TEST_F(PreviewPageInChromium, AHorizontalSliderMovesTheWayItsPictureDoes) {
    const QImage strip = picture_files::Distinct(9 * 12, 10);
    const QImage larger =
        strip.scaled(strip.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_TRUE(strip.save(dir.filePath("s.png")));
    ASSERT_TRUE(larger.save(dir.filePath("s@2x.png")));
    frames = 9;
    strips = {{1.0, {strip, {12, 10}, 9}}, {2.0, {larger, {24, 20}, 9}}};
    orientation = "horizontal";
    Output::StripFacts facts;
    facts.name = "s";
    facts.frames = 9;
    facts.control = Control::SliderLeft;
    facts.travel = 40.0;
    facts.strips = {{"s.png", 1.0, 12, 10, 108, 10, 6.0f},
                    {"s@2x.png", 2.0, 24, 20, 216, 20, 12.0f}};
    ASSERT_NO_FATAL_FAILURE(openPage(facts, "s.html"));
    ASSERT_EQ(views.size(), 4);
    expectShown(0, "loaded");

    drag(at(1, {12, 10}), {-40, 0});
    expectShown(4, "the 2x picture dragged left by 40: value 0.5");
    drag(at(0, {6, 5}), {-10, 0});
    expectShown(6, "the 1x picture dragged left by 10: value 0.75");
    drag(at(0, {6, 5}), {0, -50});
    expectShown(6, "dragged across");
    for (const auto& [key, code, frame] : {std::tuple{"ArrowRight", 39, 5},
                                           {"ArrowLeft", 37, 6},
                                           {"ArrowUp", 38, 7},
                                           {"ArrowLeft", 37, 8}}) {
        browser.key(key, code);
        expectShown(frame, key);
    }
    EXPECT_EQ(valueText(), QString::fromUtf8("Frame 8, Value 1.000"));
}

}  // namespace
