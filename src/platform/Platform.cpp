#include "Platform.h"

namespace platform {

Services& services() {
    static Services installed;
    return installed;
}

}  // namespace platform
