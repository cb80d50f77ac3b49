#include "core/logic/TextFile.h"
