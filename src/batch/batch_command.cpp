// Helpers shared by the batch commands.
#include "batch/batch_command.h"

#include <cstdlib>

bool parseNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0';
}
