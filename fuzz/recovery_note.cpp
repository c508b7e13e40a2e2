// Bytes read as the note of a recovery copy. A note that reads must format
// to text that reads back to the same note.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/RecoveryFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto note = vantrel::ParseRecoveryNote(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!note) return 0;
    if (vantrel::ParseRecoveryNote(vantrel::FormatRecoveryNote(*note)) != note) __builtin_trap();
    return 0;
}
