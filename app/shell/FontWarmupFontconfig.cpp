// fontconfig reads its configuration and scans the font folders once per
// process; the toolkit's font database asks for it when the first text is
// laid out. FcInit is safe to call from any thread and returns at once when
// the configuration is loaded.
#include "FontWarmup.h"

#include <fontconfig/fontconfig.h>

namespace shell {

FontWarmup::FontWarmup() : thread_([] { FcInit(); }) {}

FontWarmup::~FontWarmup() {
    wait();
}

void FontWarmup::wait() {
    if (thread_.joinable())
        thread_.join();
}

} // namespace shell
