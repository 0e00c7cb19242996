#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <set>

#include "file_identity.h"
#include "message.h"
#include "options.h"
#include "safe_file.h"
#include "settings.h"

namespace Cli {

// One picture's run: read it, draw it at each scale, ask the planner what to
// write, write it all or nothing, and say so.

// What a run must not write over: the files it has written, by where they
// lie, and the pictures it was given, by their identity (whatever the name
// or the path's spelling).
struct Claims {
    std::set<Platform::FileIdentity::Place> written;
    std::set<Platform::FileIdentity::Identity> pictures;
};
Claims ClaimPictures(const QStringList& pictures);

struct Reports {
    std::function<void(const Messages::Message&)> problem;  // failures and warnings
    std::function<void(const Messages::Message&)> done;     // what was written, and facts asked for
    std::function<void(const Messages::Message&)> usage;    // options a picture cannot take
    std::function<void(const Messages::Message&)> progress;  // how far a long strip is
};

enum class Built {
    Written,  // every file
    Failed,   // the picture or a file failed: nothing of it was put in place
    Usage,    // the options ask of the picture what it cannot do
};

// How far a picture's run goes: its files written, or only planned and
// named (a run that writes nothing, for build tools to learn its files).
enum class Writing { Files, NamesOnly };

// The picture "-" is standard input; it is named in messages as given.
// planned, if given, learns every file of the plan, in its order, once they
// are written (NamesOnly: once they could be).
Built BuildPicture(const Plan::Options& o, const Plan::Settings& s, bool outputIsFolder,
                   const QString& path, Claims& claims, const Reports& reports,
                   Writing writing = Writing::Files, QStringList* planned = nullptr);

// The folder a file is to go in, made when it is missing, as a folder named
// by -o is; a message naming the folder when it cannot be made.
Messages::Message FolderReady(const QString& path);

// A file cannot be saved: named as the run named it.
Messages::Message CannotSave(const Platform::SafeFile& file, const QString& path);

}  // namespace Cli
