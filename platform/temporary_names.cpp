#include "temporary_names.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <utility>

namespace Platform {

namespace TemporaryNames {

namespace {

// A list that only ever grows at its head; a node whose file is gone is
// marked free and taken again by the next name that fits. Nodes are never
// freed, so a handler walking the list always finds valid memory.
enum State : int { kFree, kFilling, kInUse };

struct Node {
    std::atomic<int> state{kFilling};
    std::size_t capacity = 0;
    char* path = nullptr;  // capacity bytes, a name and its terminating zero
    Node* next = nullptr;  // fixed before the node is published
};

std::atomic<Node*> head{nullptr};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<Node*>::is_always_lock_free,
              "a signal handler may touch lock-free atomics only");

void fill(Node* node, const QByteArray& path) {
    std::memcpy(node->path, path.constData(), static_cast<std::size_t>(path.size()));
    node->path[path.size()] = '\0';
    node->state.store(kInUse, std::memory_order_release);
}

constexpr const char* kEndings[] = {".tmp", ".old"};
constexpr qsizetype kEndingSize = 4, kSuffixDigits = 8;

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The writer's process id in a name Beside made, or 0 when it is not one.
pid_t writerOf(const QByteArray& name) {
    if (!name.startsWith('.')) return 0;
    bool known = false;
    for (const char* ending : kEndings) known |= name.endsWith(ending);
    qsizetype at = name.size() - kEndingSize - kSuffixDigits;
    if (!known || at < 3) return 0;
    for (qsizetype k = at; k < at + kSuffixDigits; ++k)
        if (!std::isxdigit(static_cast<unsigned char>(name[k]))) return 0;
    if (name[--at] != '-') return 0;
    const qsizetype end = at;
    while (at > 0 && std::isdigit(static_cast<unsigned char>(name[at - 1]))) --at;
    // ".<name>.<id>": a name of one byte at least before the id.
    if (at == end || end - at > 9 || at < 3 || name[at - 1] != '.') return 0;
    return static_cast<pid_t>(name.mid(at, end - at).toLong());
}

bool gone(pid_t writer) {
    return writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH;
}

// The folders looked at already, by device and inode.
bool firstLook(const struct stat& folder) {
    static std::mutex guard;
    static std::set<std::pair<dev_t, ino_t>> seen;
    const std::lock_guard<std::mutex> lock(guard);
    return seen.insert({folder.st_dev, folder.st_ino}).second;
}

}  // namespace

QByteArray Beside(const QByteArray& file, const char* ending) {
    const QByteArray id = QByteArray::number(::getpid());
    const qsizetype extra = 1 + 1 + id.size() + 1 + kSuffixDigits + kEndingSize;
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray name = file.mid(slash + 1).left(NAME_MAX - extra);
    const QByteArray suffix = QByteArray::number(QRandomGenerator::global()->generate(), 16)
                                  .rightJustified(kSuffixDigits, '0');
    return folderOf(file) + "/." + name + '.' + id + '-' + suffix + ending;
}

void RemoveAbandoned(const QByteArray& folder) {
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0 || !firstLook(info)) return;
    DIR* listing = ::opendir(folder.constData());
    if (listing == nullptr) return;
    const uid_t user = ::geteuid();
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        const pid_t writer = writerOf(name);
        if (writer <= 0 || !gone(writer)) continue;
        const QByteArray path = folder + '/' + name;
        struct stat file {};
        if (::lstat(path.constData(), &file) == 0 && S_ISREG(file.st_mode) && file.st_uid == user)
            ::unlink(path.constData());
    }
    ::closedir(listing);
}

Entry Remember(const QByteArray& path) {
    const auto needed = static_cast<std::size_t>(path.size()) + 1;
    for (Node* node = head.load(std::memory_order_acquire); node != nullptr; node = node->next) {
        int expected = kFree;
        if (node->capacity >= needed &&
            node->state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            fill(node, path);
            return node;
        }
    }
    auto* node = new Node;
    node->capacity = std::max<std::size_t>(needed, 256);
    node->path = new char[node->capacity];
    fill(node, path);
    node->next = head.load(std::memory_order_relaxed);
    while (!head.compare_exchange_weak(node->next, node, std::memory_order_release,
                                       std::memory_order_relaxed)) {
    }
    return node;
}

void Forget(Entry entry) {
    if (entry != nullptr) static_cast<Node*>(entry)->state.store(kFree, std::memory_order_release);
}

void RemoveAll() {
    for (Node* node = head.load(std::memory_order_acquire); node != nullptr; node = node->next)
        if (node->state.load(std::memory_order_acquire) == kInUse) ::unlink(node->path);
}

}  // namespace TemporaryNames

}  // namespace Platform
