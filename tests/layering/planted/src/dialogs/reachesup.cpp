#include "document/carddocument.h"
