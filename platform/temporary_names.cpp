#include "temporary_names.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

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

}  // namespace

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
