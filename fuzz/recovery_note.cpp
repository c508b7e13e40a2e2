// Bytes read as the note of a recovery copy and as an editor's list of open
// documents. What reads must format to text that reads back the same.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/RecoveryFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto list = vantrel::ParseOpenList(text)) {
        if (vantrel::ParseOpenList(vantrel::FormatOpenList(*list)) != list) __builtin_trap();
    }
    const auto note = vantrel::ParseRecoveryNote(text);
    if (!note) return 0;
    if (vantrel::ParseRecoveryNote(vantrel::FormatRecoveryNote(*note)) != note) __builtin_trap();
    return 0;
}
