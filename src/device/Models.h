#pragma once

#include <cstdint>
#include <string_view>

namespace qel {

// Model codes as a unit reports them.
namespace model {
constexpr uint32_t kQD206 = 2, kQD406 = 3, kQD408 = 4;
}

// Every layout keeps room for this many channels whatever the model.
constexpr int kMaxInputs = 4;
constexpr int kMaxOutputs = 8;

// "QD206", "QD406" or "QD408"; empty for any other code.
std::string_view modelName(uint32_t modelCode);
// Channels the model uses; 0 for an unknown code.
int inputCount(uint32_t modelCode);
int outputCount(uint32_t modelCode);
bool isKnownModel(uint32_t modelCode);

}  // namespace qel
