#pragma once

// The release index reader belongs to the update client; this name stays
// for code that still includes it from here.
#include "update/release_index.h"
