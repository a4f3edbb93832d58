// Batch commands of the astronomy core.
#include "batch/batch_command.h"

std::vector<BatchCommand> astroCommands() { return {}; }
