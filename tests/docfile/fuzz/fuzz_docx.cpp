// libFuzzer target: the .docx reader given any bytes must read them or
// refuse them with docfile::Error, never crash, hang or run out of memory.
// It goes through the package, the XML parts and the body on every input
// that gets past the zip's directory.
#include "docfile/ooxml/ooxml.h"

#include <glib.h>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_log_set_handler("libgsf:zip", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), quiet, nullptr);
    g_log_set_handler("libgsf", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), quiet, nullptr);
    g_log_set_default_handler(quiet, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        docfile::ReadReport report;
        docfile::ooxml::read(data, size, &report);
    } catch (const docfile::Error&) {
    }
    return 0;
}
