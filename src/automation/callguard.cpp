#include "automation/callguard.h"

namespace word {

namespace {
int g_calls = 0; // only the thread of the windows counts
} // namespace

bool callUnderWay()
{
    return g_calls > 0;
}

CallUnderWay::CallUnderWay()
{
    ++g_calls;
}

CallUnderWay::~CallUnderWay()
{
    --g_calls;
}

} // namespace word
