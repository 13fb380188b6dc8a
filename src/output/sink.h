// The byte sinks live with the other file handling in io/; writers include them from here too.
#pragma once

#include "io/sink.h"
