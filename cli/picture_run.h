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
};

// The picture "-" is standard input. True when every file was written.
bool BuildPicture(const Plan::Options& o, const Plan::Settings& s, bool outputIsFolder,
                  const QString& path, Claims& claims, const Reports& reports);

}  // namespace Cli
