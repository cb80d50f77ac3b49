#include "DemoLibrary.h"
namespace DemoLibrary { void fill(const QDate&) {} }
