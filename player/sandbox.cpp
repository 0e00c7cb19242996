#include "sandbox.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>

namespace Player {

namespace Sandbox {

namespace {

using Rights = __u64;

// Every file system right of Landlock's first version (execute, write, read,
// read a folder, remove, and make each kind of entry), and linking or
// renaming across folders from its second.
constexpr Rights kFirstVersionRights = (Rights{1} << 13) - 1;
constexpr Rights kReferRight = Rights{1} << 13;
constexpr Rights kReadFile = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_READ_FILE;
constexpr Rights kReadFolder = kReadFile | LANDLOCK_ACCESS_FS_READ_DIR;

long landlockVersion() {
    return ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
}

std::string fromEnvironment(const char* variable, const char* home, const char* belowHome) {
    if (const char* value = std::getenv(variable); value != nullptr && *value == '/') return value;
    return home != nullptr && *home == '/' ? std::string(home) + belowHome : std::string();
}

// Where the libraries, Qt's plug-ins, the fonts and fontconfig's settings
// and caches lie, system-wide and the user's own.
std::vector<std::string> readableFolders(const std::vector<std::string>& more) {
    std::vector<std::string> folders = {
        "/usr", "/lib", "/lib64", "/etc/fonts", "/etc/ld.so.cache", "/var/cache/fontconfig"};
    const char* home = std::getenv("HOME");
    folders.push_back(fromEnvironment("XDG_CACHE_HOME", home, "/.cache") + "/fontconfig");
    folders.push_back(fromEnvironment("XDG_CONFIG_HOME", home, "/.config") + "/fontconfig");
    folders.push_back(fromEnvironment("XDG_DATA_HOME", home, "/.local/share") + "/fonts");
    folders.push_back(fromEnvironment("HOME", home, "") + "/.fonts");
    for (const char* variable : {"FONTCONFIG_PATH", "FONTCONFIG_FILE"})
        if (const char* value = std::getenv(variable); value != nullptr && *value == '/')
            folders.emplace_back(value);
    folders.insert(folders.end(), more.begin(), more.end());
    return folders;
}

// A folder or file that is not there is left out: there is nothing to read.
bool allowReading(int ruleset, const std::string& path) {
    if (path.empty() || path.front() != '/') return true;
    const int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) return true;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    landlock_path_beneath_attr rule{};
    rule.allowed_access = S_ISDIR(info.st_mode) ? kReadFolder : kReadFile;
    rule.parent_fd = fd;
    ok = ok && ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

Confinement ConfineToReading(const std::vector<std::string>& moreFolders) {
    const long version = landlockVersion();
    if (version < 1) return Confinement::Unavailable;
    landlock_ruleset_attr attributes{};
    attributes.handled_access_fs = kFirstVersionRights | (version >= 2 ? kReferRight : 0);
    const int ruleset =
        static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0));
    if (ruleset < 0) return Confinement::Failed;
    bool ok = true;
    for (const std::string& folder : readableFolders(moreFolders))
        ok = allowReading(ruleset, folder) && ok;
    ok = ok && ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    ::close(ruleset);
    return ok ? Confinement::Confined : Confinement::Failed;
}

}  // namespace Sandbox

}  // namespace Player
