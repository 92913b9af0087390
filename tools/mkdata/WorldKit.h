// The campaign's world as the kit writes it to "Default.STE", for the
// kit's other world files that start from it.
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> DefaultWorldBytes();
