// Platforms whose fonts need no loading ahead.
#include "FontWarmup.h"

namespace shell {

FontWarmup::FontWarmup() = default;

FontWarmup::~FontWarmup() = default;

void FontWarmup::wait() {}

} // namespace shell
