#pragma once
// The object handles of the built-in word processor: the document-level ones
// and the table ones. Each handle keeps the instance's state alive as an
// object and checks, on every call, that the instance still runs and that
// what it points to still exists (see handle.h).

#include "automation/builtin/documentobjects.h"
#include "automation/builtin/tableobjects.h"
