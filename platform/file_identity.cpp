#include "file_identity.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "native_path.h"

namespace Platform {

namespace FileIdentity {

namespace {

std::optional<Identity> identityOf(const QByteArray& native) {
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) return std::nullopt;
    return Identity{info.st_dev, info.st_ino};
}

// The path a write to it replaces: where a link in its place points, or the
// path itself (also for a link that points nowhere: it is replaced itself).
QByteArray written(const QByteArray& native) {
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return native;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(native.constData(), nullptr),
                                                           &std::free);
    return real ? QByteArray(real.get()) : native;
}

}  // namespace

std::optional<Identity> IdentityOf(const QString& path) {
    return identityOf(NativePath::Encode(path));
}

std::optional<Place> PlaceOf(const QString& path) {
    const QByteArray file = written(NativePath::Encode(path));
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray name = file.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..") return std::nullopt;
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : file.left(slash);
    const auto identity = identityOf(folder);
    if (!identity) return std::nullopt;
    return Place{*identity, name.toStdString()};
}

bool LiesWithin(const QString& path, const QString& folder) {
    const auto real = [](const QString& p) {
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(NativePath::Encode(p).constData(), nullptr), &std::free);
        return resolved ? std::optional<QByteArray>(QByteArray(resolved.get())) : std::nullopt;
    };
    const auto inside = real(folder);
    const auto file = real(path);
    // A file that is not there lies nowhere: reading it says so.
    if (!file) return true;
    if (!inside) return false;
    const QByteArray prefix = inside->endsWith('/') ? *inside : *inside + '/';
    return file->startsWith(prefix);
}

bool IsFolder(const QString& path) {
    struct stat info {};
    return ::stat(NativePath::Encode(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace FileIdentity

}  // namespace Platform
