#include "support/ControlLookup.h"
