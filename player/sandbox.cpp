#include "sandbox.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/landlock.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <iterator>

namespace Player {

namespace Sandbox {

namespace {

using Rights = __u64;

// The ruleset as the kernel takes it from Landlock's sixth version on; an
// older kernel is given the part it knows. Spelt out here, as the system's
// headers may be older than the kernel.
struct RulesetAttributes {
    Rights handledAccessFs = 0;
    Rights handledAccessNet = 0;
    Rights scoped = 0;
};

// The rights each version added, all of which are asked for: what a right
// is not granted by a rule, the player may not do. The file system's
// (execute, write, read, read a folder, remove, make each kind of entry),
// then linking or renaming across folders, truncating a file, and using a
// device's ioctl; binding and connecting TCP sockets; and reaching past the
// player's own processes with an abstract Unix socket (the X server's, a
// session bus's) or a signal.
struct Version {
    long version;
    Rights fs, net, scoped;
    std::size_t size;  // of the attributes this version reads
};
constexpr Version kVersions[] = {
    {1, (Rights{1} << 13) - 1, 0, 0, sizeof(Rights)},
    {2, Rights{1} << 13, 0, 0, sizeof(Rights)},
    {3, Rights{1} << 14, 0, 0, sizeof(Rights)},
    {4, 0, (Rights{1} << 0) | (Rights{1} << 1), 0, 2 * sizeof(Rights)},
    {5, Rights{1} << 15, 0, 0, 2 * sizeof(Rights)},
    {6, 0, 0, (Rights{1} << 0) | (Rights{1} << 1), sizeof(RulesetAttributes)},
};

constexpr Rights kReadFile = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_READ_FILE;
constexpr Rights kReadFolder = kReadFile | LANDLOCK_ACCESS_FS_READ_DIR;

long landlockVersion() {
    return ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
}

// Everything the kernel's version knows, and how much of the attributes it reads.
RulesetAttributes everything(long version, std::size_t& size) {
    RulesetAttributes attributes;
    for (const Version& v : kVersions) {
        if (v.version > version) break;
        attributes.handledAccessFs |= v.fs;
        attributes.handledAccessNet |= v.net;
        attributes.scoped |= v.scoped;
        size = v.size;
    }
    return attributes;
}

#if defined(__x86_64__)
constexpr __u32 kArchitecture = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr __u32 kArchitecture = AUDIT_ARCH_AARCH64;
#else
constexpr __u32 kArchitecture = 0;
#endif

// No socket at all, of any family: Landlock does not stop a connection to a
// named Unix socket (a session bus's, the X server's under /tmp), and no
// player needs one. Nor io_uring, which makes sockets past the filter, nor
// any system call of another ABI (i386's socketcall, x32's numbering).
bool refuseSockets() {
    if constexpr (kArchitecture == 0) return true;
    constexpr __u32 kRefused = SECCOMP_RET_ERRNO | (EACCES & SECCOMP_RET_DATA);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArchitecture, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, kRefused),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000, 3, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, kRefused),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) == 0;
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
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return Confinement::Failed;
    const bool socketsRefused = refuseSockets();
    const long version = landlockVersion();
    if (version < 1) return socketsRefused ? Confinement::Unavailable : Confinement::Failed;
    std::size_t size = 0;
    const RulesetAttributes attributes = everything(version, size);
    const int ruleset =
        static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attributes, size, 0));
    if (ruleset < 0) return Confinement::Failed;
    bool ok = socketsRefused;
    for (const std::string& folder : readableFolders(moreFolders))
        ok = allowReading(ruleset, folder) && ok;
    ok = ::syscall(SYS_landlock_restrict_self, ruleset, 0) == 0 && ok;
    ::close(ruleset);
    return ok ? Confinement::Confined : Confinement::Failed;
}

}  // namespace Sandbox

}  // namespace Player
