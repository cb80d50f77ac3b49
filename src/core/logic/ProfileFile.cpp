#include "core/logic/ProfileFile.h"
