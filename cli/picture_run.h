#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <set>

#include "file_identity.h"
#include "message.h"
#include "options.h"
#include "settings.h"

// One picture's run: read it, draw it at each scale, ask the planner what to
// write, write it all or nothing, and say so.
namespace StripCli {

// What a run must not write over: the files it has written, by where they
// lie, and the pictures it was given, by their identity (whatever the name
// or the path's spelling).
struct Claims {
    std::set<FileIdentity::Place> written;
    std::set<FileIdentity::Identity> pictures;
};
Claims ClaimPictures(const QStringList& pictures);

struct Reports {
    std::function<void(const Message&)> problem;  // failures and warnings
    std::function<void(const Message&)> done;     // what was written, and facts asked for
};

// The picture "-" is standard input. True when every file was written.
bool BuildPicture(const Options& o, const Settings& s, bool outputIsFolder, const QString& path,
                  Claims& claims, const Reports& reports);

}  // namespace StripCli
