// libFuzzer target: the reader given any bytes must read them or refuse
// them with docfile::Error, never crash, hang or run out of memory.
#include "docfile/document.h"

#include <glib.h>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // libgsf warns on stderr about every broken compound file it meets.
    g_log_set_handler("libgsf:msole", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), quiet, nullptr);
    g_log_set_handler("libgsf", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), quiet, nullptr);
    g_log_set_default_handler(quiet, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        docfile::ReadReport report;
        docfile::readBytes(data, size, &report);
    } catch (const docfile::Error&) {
    }
    return 0;
}
