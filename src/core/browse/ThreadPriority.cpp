#include "core/browse/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace vantrel {

void LowerThreadPriority() {
    // On Linux a thread's nice value is its own, so only the caller is lowered.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

}  // namespace vantrel
