#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <set>

#include "file_identity.h"
#include "message.h"
#include "options.h"
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

// The picture "-" is standard input; it is named in messages as given.
Built BuildPicture(const Plan::Options& o, const Plan::Settings& s, bool outputIsFolder,
                   const QString& path, Claims& claims, const Reports& reports);

}  // namespace Cli
