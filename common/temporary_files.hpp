#pragma once
// The temporary files of this process that are neither renamed into place nor
// removed yet, kept where a signal handler can find them, so that an
// interrupted run removes them before it ends. This is the one piece of state
// the whole process shares: a handler is called with nothing but the signal's
// number. The slots are lock-free atomics, which a handler may read.
#include <cstddef>

namespace common {

inline constexpr std::size_t kTemporarySlots = 128;

// Notes the name of a temporary file; the text must stay unchanged in place
// until it is dropped. Returns false when every slot is taken: that file is
// then left behind should the run be interrupted.
bool NoteTemporary(const char* name);

// Forgets a name noted before.
void DropTemporary(const char* name);

// Calls `visit` with each name noted and not dropped. Safe in a signal
// handler, as long as `visit` is.
void VisitTemporaries(void (*visit)(const char* name));

}  // namespace common
