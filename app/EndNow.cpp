#include "app/EndNow.h"

#include <cstdio>
#include <cstdlib>

namespace tessarin {

void EndNow(int status) noexcept
{
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace tessarin
