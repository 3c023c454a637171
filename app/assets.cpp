// The one set of asset pointers; filled at start-up, read by the scene functions.
#include "app/assets.h"

Assets assets;
