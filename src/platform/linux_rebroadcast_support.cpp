#include "platform/rebroadcast_support.h"

namespace vantor {

bool MmsRebroadcastSupported() {
    // The media services client libraries exist for Windows only.
    return false;
}

}  // namespace vantor
