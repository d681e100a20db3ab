// The wave reader on arbitrary bytes. AddressSanitizer stops any read outside the input; what the
// reader accepts must lie inside the input and hold whole frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "sound/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const std::optional<orvex::PcmWave> wave = orvex::ParsePcmWave(file);
    if (!wave) {
        return 0;
    }
    const std::size_t frameBytes = wave->channels * sizeof(std::int16_t);
    const bool inside =
        wave->samples.data() >= data && wave->samples.data() + wave->samples.size() <= data + size;
    if (!inside || wave->samples.empty() || wave->samples.size() % frameBytes != 0) {
        std::abort();
    }
    return 0;
}
