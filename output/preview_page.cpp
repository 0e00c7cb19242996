#include "preview_page.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <map>
#include <utility>

#include "native_path.h"
#include "side_files.h"

using namespace Engine;
using namespace Messages;
using namespace Platform;

namespace Output {

extern const char kPreviewPageHtml[];

namespace {

QString say(MessageCode code, Messages::Language language) {
    return Messages::Render({.code = code}, language);
}

// The name as a relative URL of the system's bytes, so that a name with
// spaces, '#' or bytes that are not UTF-8 still finds its file.
QString relativeUrl(const QString& file) {
    return QString::fromLatin1(NativePath::Encode(file).toPercentEncoding());
}

QJsonObject stripEntry(const ScaledStrip& strip) {
    return {{"src", relativeUrl(strip.file)},
            {"scale", strip.scale},
            {"width", strip.frameWidth},
            {"height", strip.frameHeight}};
}

QJsonObject wordsIn(bool slider, Messages::Language language) {
    using M = MessageCode;
    QJsonObject words;
    const std::pair<const char*, MessageCode> keys[] = {
        {"control", slider ? M::PreviewSlider : M::PreviewKnob},
        {"value", M::PreviewValue},
        {"frame", M::PreviewFrame},
        {"angle", M::PreviewAngle},
        {"light", M::PreviewLight},
        {"dark", M::PreviewDark}};
    for (const auto& [key, code] : keys) words[key] = say(code, language);
    return words;
}

// The way a slider's picture moves as the value grows, as the page names it.
const char* towardOf(Control control) {
    switch (control) {
        case Control::SliderRight:
            return "right";
        case Control::SliderLeft:
            return "left";
        case Control::SliderUp:
            return "up";
        case Control::SliderDown:
            return "down";
        case Control::Knob:
            break;
    }
    return nullptr;
}

// The facts as JSON that may stand inside a script element: no "<" that
// could end it.
QByteArray pageData(const StripFacts& facts, Messages::Language language) {
    QJsonArray strips;
    for (const ScaledStrip& strip : facts.strips) strips.append(stripEntry(strip));
    // Frame i lies at column i % columns, row i / columns.
    const char* toward = towardOf(facts.control);
    QJsonObject data{
        {"frames", facts.frames},
        {"columns", static_cast<double>(facts.layout.Columns(facts.frames))},
        {"startAngle", Shortest(facts.startAngle)},
        {"stepAngle", Shortest(facts.stepAngle)},
        {"strips", strips},
        {"words", wordsIn(toward != nullptr, language)},
    };
    if (toward != nullptr)
        data["slider"] = QJsonObject{{"toward", toward}, {"travel", facts.travel}};
    return QJsonDocument(data).toJson(QJsonDocument::Compact).replace("<", "\\u003c");
}

// Each {{name}} of the template replaced once, left to right, so that a
// filled-in text is never searched again.
QByteArray filled(const QByteArray& page, const std::map<QByteArray, QByteArray>& values) {
    QByteArray out;
    qsizetype from = 0;
    for (qsizetype open = page.indexOf("{{"); open >= 0; open = page.indexOf("{{", from)) {
        const qsizetype close = page.indexOf("}}", open);
        const auto value = values.find(page.mid(open + 2, close - open - 2));
        if (close < 0 || value == values.end()) break;
        out += page.mid(from, open - from) + value->second;
        from = close + 2;
    }
    return out + page.mid(from);
}

}  // namespace

QByteArray PreviewPage(const StripFacts& facts, Messages::Language language) {
    const auto text = [](const QString& words) { return words.toHtmlEscaped().toUtf8(); };
    const Message about{.code = MessageCode::PreviewFacts,
                        .facts = {{Fact::Frames, facts.frames},
                                  {Fact::Width, facts.logicalFrameWidth()},
                                  {Fact::Height, facts.logicalFrameHeight()}}};
    return filled(
        kPreviewPageHtml,
        {{"lang", language == Messages::Language::German ? "de" : "en"},
         {"title", text(Messages::Render(
                       {.code = MessageCode::PreviewTitle, .subject = facts.strips.front().file},
                       language))},
         {"facts", text(Messages::Render(about, language))},
         {"hint", text(say(facts.control == Control::Knob ? MessageCode::PreviewHint
                                                          : MessageCode::PreviewSliderHint,
                           language))},
         {"data", pageData(facts, language)}});
}

}  // namespace Output
