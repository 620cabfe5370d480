#pragma once

#include "platform/ApplicationTermination.h"

namespace quillet {

// Ends the Qt event loop; the composition root's exit path then runs as after any other quit.
class QtApplicationTermination final : public ApplicationTermination {
public:
    void terminate() override;
};

}  // namespace quillet
