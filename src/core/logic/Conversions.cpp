#include "core/logic/Conversions.h"
