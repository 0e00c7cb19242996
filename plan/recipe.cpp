#include "recipe.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <optional>

using namespace Engine;
using namespace Messages;

namespace Plan {

namespace {

using M = MessageCode;
using Refusal = std::optional<Message>;

QPointF pointOf(const QJsonArray& a) {
    return {a[0].toDouble(), a[1].toDouble()};
}

bool isPoint(const QJsonValue& v) {
    if (!v.isArray()) return false;
    const QJsonArray a = v.toArray();
    return a.size() == 2 && a[0].isDouble() && a[1].isDouble();
}

class Reader {
public:
    Reader(const QString& name, Language language, const std::vector<OptionId>& commandLine)
        : name_(name), commandLine_(commandLine) {
        recipe_.options.language = language;
    }

    Refusal read(const QJsonObject& object);
    Recipe& recipe() { return recipe_; }

private:
    Message wrong(MessageCode code, const QString& key) const {
        return {.code = code, .subject = name_, .value = key};
    }
    bool givenOnCommandLine(const OptionRow& row) const;
    Refusal option(const OptionRow& row, const QJsonValue& value, const QString& key);
    Refusal file(const QJsonValue& value, const QString& key, QString& into);
    Refusal layer(const QJsonObject& object, const QString& key, LayerEntry& into);
    Refusal arc(const QJsonValue& value, const QString& key, ArcStyle& into);
    Refusal motion(const QJsonObject& object, const QString& key, LayerEntry& into);
    Refusal known(const QJsonObject& object, const QString& key,
                  std::initializer_list<const char*> keys) const;

    const QString& name_;
    const std::vector<OptionId>& commandLine_;
    Recipe recipe_;
};

bool Reader::givenOnCommandLine(const OptionRow& row) const {
    for (const OptionId id : commandLine_) {
        if (id == row.id) return true;
        const OptionRow& given = RowOf(id);
        if (std::find(given.excludes.begin(), given.excludes.end(), row.id) != given.excludes.end())
            return true;
    }
    return false;
}

// A file named relative to the recipe's folder, which the name may not leave.
Refusal Reader::file(const QJsonValue& value, const QString& key, QString& into) {
    if (!value.isString()) return wrong(M::RecipeWantsText, key);
    const QString name = value.toString();
    const QString clean = QDir::cleanPath(name);
    if (name.isEmpty() || QDir::isAbsolutePath(name) || clean == QLatin1String("..") ||
        clean.startsWith(QLatin1String("../"))) {
        Message m = wrong(M::RecipeFileOutside, key);
        m.facts.set(Fact::Path, name);
        return m;
    }
    into = clean;
    recipe_.files << clean;
    return std::nullopt;
}

Refusal Reader::option(const OptionRow& row, const QJsonValue& value, const QString& key) {
    Options& o = recipe_.options;
    // A value its option refuses is said as the option says it, of the key.
    const auto refused = [&](Refusal m) -> Refusal {
        if (m) m->subject = key;
        return m;
    };
    switch (row.kind) {
        case ValueKind::Switch:
            if (!value.isBool()) return wrong(M::RecipeWantsSwitch, key);
            if (!value.toBool()) return std::nullopt;
            return refused(row.apply(o, {}, row));
        case ValueKind::Number:
            if (!value.isDouble()) return wrong(M::RecipeWantsNumber, key);
            return refused(SetFromNumber(o, row, value.toDouble()));
        case ValueKind::File:
            if (row.repeats && value.isArray()) {
                const QJsonArray files = value.toArray();
                for (qsizetype k = 0; k < files.size(); ++k) {
                    QString name;
                    const QString at = key + QStringLiteral("[%1]").arg(k);
                    if (auto failed = file(files[k], at, name)) return failed;
                    if (auto failed = refused(SetFromText(o, row, name))) return failed;
                }
                return std::nullopt;
            } else {
                QString name;
                if (auto failed = file(value, key, name)) return failed;
                return refused(SetFromText(o, row, name));
            }
        case ValueKind::Words:
            if (value.isArray()) {
                QStringList words;
                for (const QJsonValue& word : value.toArray()) {
                    if (!word.isString()) return wrong(M::RecipeWantsText, key);
                    words << word.toString();
                }
                return refused(SetFromText(o, row, words.join(',')));
            }
            [[fallthrough]];
        case ValueKind::Word:
        case ValueKind::Text:
            if (!value.isString()) return wrong(M::RecipeWantsText, key);
            return refused(SetFromText(o, row, value.toString()));
    }
    return std::nullopt;
}

Refusal Reader::known(const QJsonObject& object, const QString& key,
                      std::initializer_list<const char*> keys) const {
    for (auto it = object.begin(); it != object.end(); ++it)
        if (std::none_of(keys.begin(), keys.end(),
                         [&](const char* k) { return it.key() == QLatin1String(k); }))
            return wrong(M::RecipeUnknownKey, key + '.' + it.key());
    return std::nullopt;
}

Refusal Reader::arc(const QJsonValue& value, const QString& key, ArcStyle& into) {
    if (!value.isObject()) return wrong(M::RecipeWantsObject, key);
    const QJsonObject a = value.toObject();
    if (auto failed = known(a, key, {"colour", "width", "radius", "track", "from", "ends"}))
        return failed;
    // The options read each part, so that a recipe's arc takes what --arc,
    // --arc-track, --arc-from and --arc-ends take.
    Options parts;
    const auto text = [&](const char* part, OptionId id, const QString& prefix = {}) -> Refusal {
        if (!a.contains(QLatin1String(part))) return std::nullopt;
        const QString at = key + '.' + part;
        if (!a[QLatin1String(part)].isString()) return wrong(M::RecipeWantsText, at);
        auto m = SetFromText(parts, RowOf(id), prefix + a[QLatin1String(part)].toString());
        if (m) m->subject = at;
        return m;
    };
    if (!a.contains(QLatin1String("colour"))) return wrong(M::RecipeWantsText, key + ".colour");
    if (auto failed = text("colour", OptionId::Arc)) return failed;
    into = *parts.arc;
    for (const char* length : {"width", "radius"}) {
        if (!a.contains(QLatin1String(length))) continue;
        const QJsonValue v = a[QLatin1String(length)];
        const QString at = key + '.' + length;
        if (!v.isDouble()) return wrong(M::RecipeWantsNumber, at);
        if (!(v.toDouble() > 0.0)) return wrong(M::RecipeWantsNumber, at);
        (QLatin1String(length) == QLatin1String("width") ? into.width : into.radius) = v.toDouble();
    }
    if (auto failed = text("track", OptionId::ArcTrack)) return failed;
    if (auto failed = text("from", OptionId::ArcFrom)) return failed;
    if (auto failed = text("ends", OptionId::ArcEnds)) return failed;
    if (parts.arcTrack) {
        into.track = *parts.arcTrack;
        into.hasTrack = true;
    }
    into.fromMiddle = parts.arcFromMiddle.value_or(false);
    into.roundEnds = parts.arcRoundEnds.value_or(true);
    return std::nullopt;
}

Refusal Reader::motion(const QJsonObject& object, const QString& key, LayerEntry& into) {
    int motions = 0;
    for (const char* m : {"turn", "slide", "fade"}) motions += object.contains(QLatin1String(m));
    if (motions > 1) return wrong(M::RecipeOneMotion, key);
    const auto number = [&](const QJsonObject& o, const char* part, const QString& at,
                            std::optional<double>& value) -> Refusal {
        if (!o.contains(QLatin1String(part))) return std::nullopt;
        if (!o[QLatin1String(part)].isDouble()) return wrong(M::RecipeWantsNumber, at + '.' + part);
        value = o[QLatin1String(part)].toDouble();
        return std::nullopt;
    };
    if (object.contains(QLatin1String("turn"))) {
        into.motion = LayerMotion::Turn;
        const QJsonValue turn = object[QLatin1String("turn")];
        const QString at = key + QStringLiteral(".turn");
        if (turn.isBool()) {
            if (!turn.toBool()) into.motion = LayerMotion::Still;
            return std::nullopt;
        }
        if (!turn.isObject()) return wrong(M::RecipeWantsObject, at);
        const QJsonObject t = turn.toObject();
        if (auto failed = known(t, at, {"start", "end", "pivot"})) return failed;
        if (auto failed = number(t, "start", at, into.turnStart)) return failed;
        if (auto failed = number(t, "end", at, into.turnEnd)) return failed;
        if (t.contains(QLatin1String("pivot"))) {
            if (!isPoint(t[QLatin1String("pivot")]))
                return wrong(M::RecipeWantsPoint, at + ".pivot");
            into.pivot = pointOf(t[QLatin1String("pivot")].toArray());
        }
    }
    if (object.contains(QLatin1String("slide"))) {
        into.motion = LayerMotion::Slide;
        const QString at = key + QStringLiteral(".slide");
        if (!object[QLatin1String("slide")].isObject()) return wrong(M::RecipeWantsObject, at);
        const QJsonObject s = object[QLatin1String("slide")].toObject();
        if (auto failed = known(s, at, {"to"})) return failed;
        if (!isPoint(s[QLatin1String("to")])) return wrong(M::RecipeWantsPoint, at + ".to");
        into.slideTo = pointOf(s[QLatin1String("to")].toArray());
    }
    if (object.contains(QLatin1String("fade"))) {
        into.motion = LayerMotion::Fade;
        const QString at = key + QStringLiteral(".fade");
        if (!object[QLatin1String("fade")].isObject()) return wrong(M::RecipeWantsObject, at);
        const QJsonObject f = object[QLatin1String("fade")].toObject();
        if (auto failed = known(f, at, {"from", "to"})) return failed;
        std::optional<double> from, to;
        if (auto failed = number(f, "from", at, from)) return failed;
        if (auto failed = number(f, "to", at, to)) return failed;
        into.fadeFrom = std::clamp(from.value_or(0.0), 0.0, 1.0);
        into.fadeTo = std::clamp(to.value_or(1.0), 0.0, 1.0);
    }
    return std::nullopt;
}

Refusal Reader::layer(const QJsonObject& object, const QString& key, LayerEntry& into) {
    if (auto failed = known(object, key, {"file", "arc", "at", "turn", "slide", "fade"}))
        return failed;
    into.origin = key;
    const bool hasFile = object.contains(QLatin1String("file"));
    if (hasFile == object.contains(QLatin1String("arc"))) return wrong(M::RecipeLayerNeedsOne, key);
    if (hasFile) {
        if (auto failed = file(object[QLatin1String("file")], key + ".file", into.file))
            return failed;
    } else {
        ArcStyle style;
        if (auto failed = arc(object[QLatin1String("arc")], key + ".arc", style)) return failed;
        into.arc = style;
    }
    if (object.contains(QLatin1String("at"))) {
        if (!isPoint(object[QLatin1String("at")])) return wrong(M::RecipeWantsPoint, key + ".at");
        into.at = pointOf(object[QLatin1String("at")].toArray());
    }
    return motion(object, key, into);
}

Refusal Reader::read(const QJsonObject& object) {
    Options& o = recipe_.options;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        if (key == QLatin1String("$schema")) continue;
        if (key == QLatin1String("picture")) {
            if (auto failed = file(it.value(), key, o.picture)) return failed;
            continue;
        }
        if (key == QLatin1String("layers")) {
            if (!it.value().isArray()) return wrong(M::RecipeWantsList, key);
            const QJsonArray layers = it.value().toArray();
            for (qsizetype k = 0; k < layers.size(); ++k) {
                const QString at = QStringLiteral("layers[%1]").arg(k);
                if (!layers[k].isObject()) return wrong(M::RecipeWantsObject, at);
                LayerEntry& entry = o.layers.emplace_back();
                if (auto failed = layer(layers[k].toObject(), at, entry)) return failed;
            }
            continue;
        }
        const auto row = std::find_if(
            OptionTable().begin(), OptionTable().end(),
            [&](const OptionRow& r) { return r.key != nullptr && key == QLatin1String(r.key); });
        if (row == OptionTable().end()) return wrong(M::RecipeUnknownKey, key);
        if (givenOnCommandLine(*row)) continue;
        if (auto failed = option(*row, it.value(), key)) return failed;
    }
    if (o.picture.isEmpty() && o.layers.empty()) return wrong(M::RecipeNeedsPicture, {});
    return std::nullopt;
}

}  // namespace

bool IsRecipe(const QString& argument) {
    return argument.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

std::variant<Recipe, Message> ReadRecipe(const QByteArray& json, const QString& name,
                                         Language language,
                                         const std::vector<OptionId>& commandLine) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return Message{.code = M::RecipeNotJson,
                       .subject = name,
                       .facts = {{Fact::Index, qint64{error.offset}}}};
    Reader reader(name, language, commandLine);
    if (auto failed = reader.read(document.object())) return *failed;
    return std::move(reader.recipe());
}

namespace {

QJsonObject pointSchema() {
    return {{"type", "array"},
            {"items", QJsonObject{{"type", "number"}}},
            {"minItems", 2},
            {"maxItems", 2}};
}

// An option's value as a recipe gives it.
QJsonObject optionSchema(const OptionRow& row) {
    QJsonObject value;
    switch (row.kind) {
        case ValueKind::Switch:
            value = {{"type", "boolean"}};
            break;
        case ValueKind::Number:
            value = {{"type", row.range.whole ? "integer" : "number"}};
            if (row.range.refusal != MessageCode::None) {
                value[row.range.aboveLow ? "exclusiveMinimum" : "minimum"] = row.range.low;
                value["maximum"] = row.range.high;
            }
            break;
        case ValueKind::Word:
            value = {{"type", "string"}, {"enum", QJsonArray::fromStringList(row.choices())}};
            break;
        case ValueKind::Words:
            value = {
                {"anyOf",
                 QJsonArray{QJsonObject{{"type", "string"}},
                            QJsonObject{{"type", "array"},
                                        {"items", QJsonObject{{"enum", QJsonArray::fromStringList(
                                                                           row.choices())}}}}}}};
            break;
        case ValueKind::Text:
        case ValueKind::File:
            value = {{"type", "string"}};
            if (row.repeats)
                value = {
                    {"anyOf", QJsonArray{value, QJsonObject{{"type", "array"}, {"items", value}}}}};
            break;
    }
    value["description"] = Messages::Render(HelpFor(row), Language::English).replace('\n', ' ');
    return value;
}

QJsonObject objectOf(const QJsonObject& properties, const QJsonArray& required = {}) {
    QJsonObject object{
        {"type", "object"}, {"additionalProperties", false}, {"properties", properties}};
    if (!required.isEmpty()) object["required"] = required;
    return object;
}

QJsonObject layerSchema() {
    const QJsonObject number{{"type", "number"}};
    const QJsonObject text{{"type", "string"}};
    const QJsonObject opacity{{"type", "number"}, {"minimum", 0}, {"maximum", 1}};
    const QJsonObject arc =
        objectOf({{"colour", text},
                  {"width", number},
                  {"radius", number},
                  {"track", text},
                  {"from", QJsonObject{{"enum", QJsonArray{"start", "middle"}}}},
                  {"ends", QJsonObject{{"enum", QJsonArray{"round", "flat"}}}}},
                 {"colour"});
    const QJsonObject turnEnds =
        objectOf({{"start", number}, {"end", number}, {"pivot", pointSchema()}});
    const QJsonObject turn{{"anyOf", QJsonArray{QJsonObject{{"type", "boolean"}}, turnEnds}}};
    return objectOf({{"file", text},
                     {"arc", arc},
                     {"at", pointSchema()},
                     {"turn", turn},
                     {"slide", objectOf({{"to", pointSchema()}}, {"to"})},
                     {"fade", objectOf({{"from", opacity}, {"to", opacity}})}});
}

}  // namespace

QByteArray RecipeSchema() {
    QJsonObject properties{
        {"$schema", QJsonObject{{"type", "string"}}},
        {"picture", QJsonObject{{"type", "string"},
                                {"description", "the picture that turns, beside the recipe"}}},
        {"layers", QJsonObject{{"type", "array"}, {"items", layerSchema()}}}};
    for (const OptionRow& row : OptionTable())
        if (row.key != nullptr) properties[QLatin1String(row.key)] = optionSchema(row);
    const QJsonObject schema{{"$schema", "https://json-schema.org/draft/2020-12/schema"},
                             {"title", "Quenwick Torvelink recipe"},
                             {"type", "object"},
                             {"additionalProperties", false},
                             {"properties", properties}};
    return QJsonDocument(schema).toJson(QJsonDocument::Indented);
}

}  // namespace Plan
