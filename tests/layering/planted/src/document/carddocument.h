#include "dialogs/reachesup.h"
