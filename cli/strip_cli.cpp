#include "strip_cli.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#include "catalog.h"
#include "dependency_file.h"
#include "file_identity.h"
#include "native_path.h"
#include "picture_plan.h"
#include "picture_run.h"
#include "progress_line.h"
#include "recipe.h"
#include "settings.h"
#include "side_files.h"
#include "usage_text.h"
#include "watch_loop.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Platform;
using namespace Png;

namespace Cli {

namespace {

QString say(const Message& message) {
    // The window breaks its messages at a lone carriage return; a terminal
    // wants a line break.
    return Messages::Render(message, Messages::CommandLineLanguage()).replace('\r', '\n');
}

// One line that says what is wrong, one where the help is.
int usageError(const Message& message, QTextStream& err) {
    err << Messages::kProgramName << ": " << say(message) << "\n"
        << say({.code = MessageCode::UsageSeeHelp}) << "\n";
    return kUsage;
}

// The toolkits --for knows, a line each.
int listToolkits(QTextStream& out) {
    for (const Toolkit& toolkit : Toolkits()) {
        Message line{.code = MessageCode::ToolkitLine,
                     .subject = QString::fromLatin1(toolkit.name),
                     .facts = {{Fact::Frames, toolkit.frames},
                               {Fact::Start, toolkit.start},
                               {Fact::End, toolkit.end}}};
        QStringList endings;
        for (const Output::SideFileRow& row : Output::SideFileTable())
            if (toolkit.sides.has(row.file)) endings << QString::fromLatin1(row.ending);
        if (!endings.isEmpty()) line.facts.set(Fact::Endings, endings);
        out << say(line) << "\n";
    }
    return kWritten;
}

// A folder named with a separator at its end is made when it is missing.
bool outputFolderReady(const Options& o, bool outputIsFolder, QTextStream& err) {
    if (!outputIsFolder || FileIdentity::IsFolder(o.output)) return true;
    std::error_code error;
    std::filesystem::create_directories(NativePath::Encode(o.output).toStdString(), error);
    if (!error) return true;
    err << say({.code = MessageCode::CannotMakeFolder, .subject = o.output}) << "\n";
    return false;
}

// The largest recipe read: a knob's description is a few hundred bytes.
constexpr qint64 kMaxRecipeBytes = 1 << 20;

// A recipe's options under the command line's: its files named from its
// folder, each checked to lie in it, links followed.
std::variant<Options, Message> recipeOptions(const QString& path, const QStringList& arguments,
                                             const std::vector<OptionId>& given,
                                             Messages::Language language) {
    QFile file;
    if (auto opened = Pictures::OpenPictureFile(path, file);
        opened.status != Pictures::LoadStatus::Loaded) {
        opened.message.subject = path;
        return opened.message;
    }
    if (file.size() > kMaxRecipeBytes)
        return Message{
            .code = MessageCode::CannotRead, .reason = {MessageCode::Damaged, 0}, .subject = path};
    auto read = ReadRecipe(file.readAll(), path, language, given);
    if (auto* failed = std::get_if<Message>(&read)) return *failed;
    Options recipe = std::move(std::get<Recipe>(read).options);
    const qsizetype slash = path.lastIndexOf('/');
    const QString folder =
        slash < 0 ? QStringLiteral(".") : path.left(std::max<qsizetype>(slash, 1));
    const auto resolve = [&](QString& name, const QString& key) -> std::optional<Message> {
        if (name.isEmpty()) return std::nullopt;
        const QString full = slash < 0 ? name : folder + '/' + name;
        if (!FileIdentity::LiesWithin(full, folder))
            return Message{.code = MessageCode::RecipeFileOutside,
                           .subject = path,
                           .value = key,
                           .facts = {{Fact::Path, name}}};
        name = full;
        return std::nullopt;
    };
    if (auto failed = resolve(recipe.picture, QStringLiteral("picture"))) return *failed;
    for (QString& under : recipe.under)
        if (auto failed = resolve(under, QStringLiteral("under"))) return *failed;
    for (QString& over : recipe.over)
        if (auto failed = resolve(over, QStringLiteral("over"))) return *failed;
    for (LayerEntry& layer : recipe.layers)
        if (auto failed = resolve(layer.file, layer.origin + QStringLiteral(".file")))
            return *failed;
    recipe.recipe = path;
    // The command line's options over the recipe's.
    auto merged = ParseArguments(arguments, language, recipe);
    if (auto* failed = std::get_if<Message>(&merged)) return *failed;
    return std::get<Options>(merged);
}

// One run over every picture: each written, or only named.
class Runner {
public:
    Runner(const Options& o, const QStringList& arguments, const std::vector<OptionId>& given,
           bool outputIsFolder, QTextStream& out, QTextStream& err, bool progress)
        : o_(o),
          arguments_(arguments),
          given_(given),
          outputIsFolder_(outputIsFolder),
          out_(out),
          err_(err),
          told_(o.output == QLatin1String("-") || o.listOutputs ? err : out),
          line_(err, progress && !o.quiet, o.pictures.size()),
          claims_(ClaimPictures(o.pictures)),
          writing_(o.listOutputs ? Writing::NamesOnly : Writing::Files),
          tellEach_(!o.quiet) {}

    int run();
    // A run that says only what went wrong.
    void keepQuiet() { tellEach_ = false; }
    // Each picture's files read and written, as far as it came.
    const std::vector<DependencyRule>& rules() const { return rules_; }
    qsizetype written() const { return written_; }

private:
    Built build(const QString& path, DependencyRule& rule);
    Built buildRecipe(const QString& path, const Reports& reports, DependencyRule& rule);
    bool writeDependencies(const Reports& reports);

    const Options& o_;
    const QStringList& arguments_;
    const std::vector<OptionId>& given_;
    const bool outputIsFolder_;
    QTextStream& out_;
    QTextStream& err_;
    // A strip on standard output, or the list of files a run writes, leaves
    // the lines about it to the error output.
    QTextStream& told_;
    ProgressLine line_;
    Claims claims_;
    const Writing writing_;
    bool tellEach_;
    std::vector<DependencyRule> rules_;
    qsizetype written_ = 0;  // files
};

// What a picture reads besides itself: the stack's layers. Standard input
// is no file a build tool can look at.
void addReads(QStringList& reads, const QStringList& files) {
    for (const QString& file : files)
        if (file != QLatin1String("-") && !file.isEmpty() && !reads.contains(file)) reads << file;
}

Built Runner::buildRecipe(const QString& path, const Reports& reports, DependencyRule& rule) {
    const auto options = recipeOptions(path, arguments_, given_, o_.language);
    if (const auto* failed = std::get_if<Message>(&options)) {
        reports.problem(*failed);
        return Built::Failed;
    }
    const Options& o = std::get<Options>(options);
    const Settings s = Resolve(o);
    if (const auto clash = CheckStack(o)) {
        reports.problem(*clash);
        return Built::Failed;
    }
    // No strip is written over a file the recipe reads.
    QStringList files{o.picture};
    files << o.under << o.over;
    for (const LayerEntry& layer : o.layers) files << layer.file;
    for (const QString& f : files)
        if (const auto id = FileIdentity::IdentityOf(f)) claims_.pictures.insert(*id);
    addReads(rule.prerequisites, files);
    return BuildPicture(o, s, outputIsFolder_, path, claims_, reports, writing_, &rule.targets);
}

Built Runner::build(const QString& path, DependencyRule& rule) {
    // In a batch, and for a recipe, every message says which input it is about.
    const bool prefixed = o_.pictures.size() > 1 || IsRecipe(path);
    const auto problem = [&](const Message& message) {
        line_.clear();
        // Every message that has a subject names it.
        const bool named = message.subject == path;
        err_ << (prefixed && !named ? Messages::Printable(path) + QStringLiteral(": ") : QString())
             << say(message) << "\n";
        err_.flush();
    };
    const auto done = [&](const Message& message) {
        if (!tellEach_) return;
        line_.clear();
        told_ << say(message) << "\n";
        told_.flush();
    };
    const auto usage = [&](const Message& message) {
        line_.clear();
        usageError(message, err_);
    };
    const auto step = [&](const Message& message) { line_.update(say(message)); };
    const Reports reports{problem, done, usage, step};
    addReads(rule.prerequisites, {path});
    if (IsRecipe(path)) return buildRecipe(path, reports, rule);
    addReads(rule.prerequisites, o_.under + o_.over);
    return BuildPicture(o_, Resolve(o_), outputIsFolder_, path, claims_, reports, writing_,
                        &rule.targets);
}

// The dependency file, all or nothing, unless it would take the place of a
// picture or of a file the run wrote.
bool Runner::writeDependencies(const Reports& reports) {
    const auto text = DependencyFileText(rules_);
    if (const auto* failed = std::get_if<Message>(&text)) {
        reports.problem(*failed);
        return false;
    }
    const QString& path = o_.depfile;
    const auto place = FileIdentity::PlaceOf(path);
    const auto identity = FileIdentity::IdentityOf(path);
    if (identity && claims_.pictures.count(*identity) != 0) {
        reports.problem({.code = MessageCode::PictureNotOverwritten, .subject = path});
        return false;
    }
    if (place && claims_.written.count(*place) != 0) {
        reports.problem({.code = MessageCode::FilesShareName, .subject = path});
        return false;
    }
    const QByteArray& bytes = std::get<QByteArray>(text);
    SafeFile file(path);
    Message failed = FolderReady(path);
    if (!failed && (!file.open() || !file.write(bytes.constData(), std::size_t(bytes.size())) ||
                    !file.commit()))
        failed = CannotSave(file, path);
    if (failed) {
        reports.problem(failed);
        return false;
    }
    reports.done({.code = MessageCode::WrittenSide,
                  .reason = {MessageCode::SideDependencies, 0},
                  .subject = path});
    return true;
}

int Runner::run() {
    // A run that names its files makes no folder either.
    if (writing_ == Writing::Files && !outputFolderReady(o_, outputIsFolder_, err_)) return kFailed;
    int failed = 0;
    bool misused = false;
    for (qsizetype n = 0; n < o_.pictures.size(); ++n) {
        // A picture is named as the user gave it.
        const QString& path = o_.pictures[n];
        line_.show(n + 1, path);
        DependencyRule& rule = rules_.emplace_back();
        switch (build(path, rule)) {
            case Built::Written:
                written_ += rule.targets.size();
                // A build tool reads the names, a line each, as they are.
                if (writing_ == Writing::NamesOnly)
                    for (const QString& target : rule.targets) out_ << target << '\n';
                break;
            case Built::Failed:
                ++failed;
                break;
            case Built::Usage:
                misused = true;
                break;
        }
    }
    if (misused) return kUsage;
    if (failed == 0 && writing_ == Writing::Files && !o_.depfile.isEmpty()) {
        const Reports reports{[&](const Message& m) { err_ << say(m) << '\n'; },
                              [&](const Message& m) {
                                  if (tellEach_) told_ << say(m) << '\n';
                              },
                              {},
                              {}};
        if (!writeDependencies(reports)) ++failed;
    }
    return failed == 0 ? kWritten : kFailed;
}

// Writes, then writes again whenever a file read changes, quietly but for
// one line each time.
int watched(const Options& options, const QStringList& arguments,
            const std::vector<OptionId>& given, bool outputIsFolder, QTextStream& out,
            QTextStream& err, bool progress) {
    const auto round = [&](bool first) {
        Runner runner(options, arguments, given, outputIsFolder, out, err, progress && first);
        if (!first) runner.keepQuiet();
        const int code = runner.run();
        out.flush();
        err.flush();
        Round done{.written = code == kWritten, .files = runner.written()};
        for (const DependencyRule& rule : runner.rules())
            for (const QString& file : rule.prerequisites)
                if (!done.reads.contains(file)) done.reads << file;
        return done;
    };
    const auto tell = [&](const Message& m) {
        if (options.quiet) return;
        out << say(m) << '\n';
        out.flush();
    };
    const auto problem = [&](const Message& m) {
        err << say(m) << '\n';
        err.flush();
    };
    return Watch(round, tell, problem);
}

}  // namespace

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    std::vector<OptionId> given;
    const Parsed parsed = ParseArguments(arguments, Messages::CommandLineLanguage(), {}, &given);
    if (const auto* usage = std::get_if<Message>(&parsed)) return usageError(*usage, err);
    const auto& options = std::get<Options>(parsed);
    if (options.help) {
        out << UsageText(options.language);
        return kWritten;
    }
    if (options.version) {
        out << Messages::kProgramName << ' ' << TORVELINK_VERSION << "\n";
        return kWritten;
    }
    if (options.listToolkits) return listToolkits(out);
    const Settings settings = Resolve(options);
    const bool outputIsFolder = OutputIsFolder(
        options, !options.output.isEmpty() && FileIdentity::IsFolder(options.output));
    if (const auto clash = CheckOutput(options, settings, outputIsFolder))
        return usageError(*clash, err);
    // A recipe's own options join the command line's: it is checked with them.
    if (std::none_of(options.pictures.begin(), options.pictures.end(), IsRecipe))
        if (const auto clash = CheckStack(options)) return usageError(*clash, err);
    if (options.watch)
        return watched(options, arguments, given, outputIsFolder, out, err, progress);
    return Runner(options, arguments, given, outputIsFolder, out, err, progress).run();
}

}  // namespace Cli
