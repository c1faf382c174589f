#include "common/temporary_files.hpp"

#include <atomic>

namespace common {

namespace {

static_assert(std::atomic<const char*>::is_always_lock_free, "a signal handler reads the slots");

// Empty slots hold a null pointer; constant-initialised, so a signal that
// comes before any file is made finds them empty.
constinit std::atomic<const char*> slots[kTemporarySlots]{};

}  // namespace

bool NoteTemporary(const char* name) {
    for (std::atomic<const char*>& slot : slots) {
        const char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, name)) return true;
    }
    return false;
}

void DropTemporary(const char* name) {
    for (std::atomic<const char*>& slot : slots) {
        const char* noted = name;
        if (slot.compare_exchange_strong(noted, nullptr)) return;
    }
}

void VisitTemporaries(void (*visit)(const char* name)) {
    for (std::atomic<const char*>& slot : slots) {
        if (const char* name = slot.load(); name != nullptr) visit(name);
    }
}

}  // namespace common
